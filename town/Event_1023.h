// Event_1023_C: the Arcanium, a library. The party browses its texts by
// topic, or grabs one at random, and reads it in a scrolling pane laid over
// a parchment picture. The catalogue (town/ArcaniumCatalogue.h) is read once
// when the Arcanium is built.
//
// A visit runs in the building frame (town/Building.h): sound "Magika",
// picture "Magika" ("parchment" while a text is read), the loop polls, 5
// ticks pass on leaving. Closed from 2:00 to 8:59: on entry, and before any
// key is handled (the key is then spent on showing the closed screen).
// Only a party with a member whose current stat 1 is above 12 and who is
// neither stunned, asleep, stone nor blind may read: otherwise the screen
// shows ILLITERATE, and the next key puts the Arcanium in it.
//
// States: below (State), and the frame's closed state. Lists and text panes
// are built by the keys that enter their states, never by a redraw.
#pragma once
#include "town/ArcaniumCatalogue.h"
#include "town/Building.h"

#include <memory>

class ScrollList_C;
class ScrollPane_C;

class Event_1023_C : public Building_C {
public:
    enum State : int {
        MENU = 1,          // welcome
        TOPICS = 2,        // the topics listed
        RANDOM_TEXT = 3,   // a text at random, read
        TITLES = 4,        // the titles of a topic listed
        TEXT = 5,          // the chosen text, read
        ILLITERATE = 6,    // nobody can read
    };
    static constexpr int TYPE_ID = EVENT_ARCANIUM;
    static constexpr int kLeave = 5;

    // Reads "data/arcanium/arcdata.txt".
    explicit Event_1023_C(const EventParams_S* params);
    // Reads the catalogue file given (tests).
    Event_1023_C(const EventParams_S* params, const char* catalogue);
    ~Event_1023_C() override;
    int typeId() const override { return TYPE_ID; }

    int invoke(Interface_C* iface) override;

    // True unless a member can read (above).
    static bool nobodyCanRead();
    // The state shown: ILLITERATE while nobody can read (but in state 0 and
    // closed).
    int shownState() const;

    const ArcaniumCatalogue_S& catalogue() const { return catalogue_; }
    const ScrollList_C* list() const { return list_.get(); }
    const ScrollPane_C* pane() const { return pane_.get(); }
    int chosenTopic() const { return chosenTopic_; }
    int chosenEntry() const { return chosenEntry_; }

protected:
    const char* audioName() const override { return "Magika"; }
    const char* pictureName() const override;
    bool keepsHours() const override { return true; }
    bool isOpenAt(unsigned hour) const override { return hour < 2 || hour >= 9; }
    int leaveTicks() const override { return kLeave; }
    bool waitsForEvents() const override { return false; }
    const char* closedText() const override;

    void drawState(PaneText_C& pane) override;
    void handleKey(int sym, SDLMod mod) override;

private:
    void buildTopicList();
    void buildTitleList();
    // A new pane over the upper-left picture holding the entry's text (or
    // a line that says the shelf is empty or the text cannot be read).
    void loadText(int entry);

    ArcaniumCatalogue_S catalogue_;
    std::unique_ptr<ScrollPane_C> pane_;
    std::unique_ptr<ScrollList_C> list_;
    int chosenTopic_ = 0;
    int chosenEntry_ = 0;
};
