// The town's five taverns: each a Tavern_C with its type id, name, tip file
// and room price for the party's average level L.
//   1006 "Melkoran's Tavern"    data/melkoran.tip    L x 50
//   1007 "The Green Bard"       data/greenbard.tip   L x 70
//   1008 "Hughter's Owl"        data/hughter.tip     L x 10 + 100
//   1009 "The Chiccasaw"        data/chiccasaw.tip   L x 100
//   1010 "The Marauder's Hole"  data/marauder.tip    L x 10 + 2000
#pragma once
#include "town/Tavern.h"

#include <memory>

class Event_1006_C : public Tavern_C {
public:
    static constexpr int TYPE_ID = EVENT_MELKORANS;
    explicit Event_1006_C(const EventParams_S* params);
    int typeId() const override { return TYPE_ID; }
    int64_t price(int64_t level) const override { return level * 50; }
};

class Event_1007_C : public Tavern_C {
public:
    static constexpr int TYPE_ID = EVENT_GREEN_BARD;
    explicit Event_1007_C(const EventParams_S* params);
    int typeId() const override { return TYPE_ID; }
    int64_t price(int64_t level) const override { return level * 70; }
};

class Event_1008_C : public Tavern_C {
public:
    static constexpr int TYPE_ID = EVENT_HUGHTERS_OWL;
    explicit Event_1008_C(const EventParams_S* params);
    int typeId() const override { return TYPE_ID; }
    int64_t price(int64_t level) const override { return level * 10 + 100; }
};

class Event_1009_C : public Tavern_C {
public:
    static constexpr int TYPE_ID = EVENT_CHICCASAW;
    explicit Event_1009_C(const EventParams_S* params);
    int typeId() const override { return TYPE_ID; }
};

class Event_1010_C : public Tavern_C {
public:
    static constexpr int TYPE_ID = EVENT_MARAUDERS_HOLE;
    explicit Event_1010_C(const EventParams_S* params);
    int typeId() const override { return TYPE_ID; }
    int64_t price(int64_t level) const override { return level * 10 + 2000; }
};
