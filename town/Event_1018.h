// The two town buildings that offer nothing: the Barracks (Event_1018_C)
// and a stranger's House (Event_1050_C, town/Event_1050.h). Each shows one
// text and "(ESCAPE) to Exit"; ESC puts the party on the exit and lets the
// building's leave time pass (the Barracks 60 ticks, the House 30). Neither
// keeps hours; every other key is ignored.
#pragma once
#include "town/Building.h"

#include <memory>

// The frame of a building whose only screen is its one text.
class OneTextBuilding_C : public Building_C {
public:
    using Building_C::Building_C;

protected:
    // The building's text, on the pane's first line.
    virtual const char* text() const = 0;

    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;
};

class Event_1018_C : public OneTextBuilding_C {
public:
    static constexpr int TYPE_ID = EVENT_BARRACKS;
    static constexpr int kLeaveTicks = 60;
    static constexpr const char* kText =
        "You enter a room filled with weapons, armor, and guards.  They glower at you, their simple gaze "
        "inviting you to leave.";

    using OneTextBuilding_C::OneTextBuilding_C;

    int typeId() const override { return TYPE_ID; }

protected:
    const char* audioName() const override { return "Barracks"; }
    const char* pictureName() const override { return "Barracks"; }
    int leaveTicks() const override { return kLeaveTicks; }
    const char* text() const override { return kText; }
};
