// Event_1050_C: a stranger's House, the building that shows the party out
// again (town/Event_1018.h has the frame it shares with the Barracks).
#pragma once
#include "town/Event_1018.h"

class Event_1050_C : public OneTextBuilding_C {
public:
    static constexpr int TYPE_ID = EVENT_HOUSE;
    static constexpr const char* kText = "You've blundered into a stranger's house!\nPlease show yourself out.";

    using OneTextBuilding_C::OneTextBuilding_C;

    int typeId() const override { return TYPE_ID; }

protected:
    const char* audioName() const override { return "House"; }
    const char* pictureName() const override { return "House"; }
    const char* text() const override { return kText; }
};
