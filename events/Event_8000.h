// Event_8000_C: a movie inside the game. Scripts start it through
// eventAPI.callEvent (8000, [file]); it plays the MPEG file full screen with
// its sound through the mixer (when sound is on), ESC or SPACE skips it, and
// the game view comes back when it ends. A file that cannot be played ends
// it at once.
#pragma once
#include "world/Event.h"

#include <string>

class Event_8000_C : public Event_C {
public:
    explicit Event_8000_C(const EventParams_S* params);

    int typeId() const override { return EVENT_MOVIE; }
    // Always 0.
    int invoke(Interface_C* iface) override;

    const std::string& file() const { return file_; }

private:
    int32_t exitX_ = 0, exitY_ = 0, exitFacing_ = 0;   // kept, not used
    std::string file_;
};
