// The five town shops: the generic shop (town/Shop.h) with each one's type
// id, stock, picture, sound environment and welcome text.
#pragma once
#include "town/Shop.h"

#include <memory>

// Starfire Swords.
class Event_1011_C : public Shop_C {
public:
    static constexpr int TYPE_ID = EVENT_STARFIRE;
    static const ShopValues_S kValues;
    explicit Event_1011_C(const EventParams_S* params) : Shop_C(params, kValues) {}
    int typeId() const override { return TYPE_ID; }
};

// Imperial Weapons.
class Event_1012_C : public Shop_C {
public:
    static constexpr int TYPE_ID = EVENT_IMPERIAL;
    static const ShopValues_S kValues;
    explicit Event_1012_C(const EventParams_S* params) : Shop_C(params, kValues) {}
    int typeId() const override { return TYPE_ID; }
};

// Arms of Valor.
class Event_1013_C : public Shop_C {
public:
    static constexpr int TYPE_ID = EVENT_VALOR;
    static const ShopValues_S kValues;
    explicit Event_1013_C(const EventParams_S* params) : Shop_C(params, kValues) {}
    int typeId() const override { return TYPE_ID; }
};

// The General Store.
class Event_1014_C : public Shop_C {
public:
    static constexpr int TYPE_ID = EVENT_GENERAL_STORE;
    static const ShopValues_S kValues;
    explicit Event_1014_C(const EventParams_S* params) : Shop_C(params, kValues) {}
    int typeId() const override { return TYPE_ID; }
};

// Landru's Craft Supply.
class Event_1017_C : public Shop_C {
public:
    static constexpr int TYPE_ID = EVENT_LANDRUS;
    static const ShopValues_S kValues;
    explicit Event_1017_C(const EventParams_S* params) : Shop_C(params, kValues) {}
    int typeId() const override { return TYPE_ID; }
};
