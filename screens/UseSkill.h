// UseSkill_C: the screen of 's' in the main view, through which a party
// member uses one of his or her special skills outside combat. The member
// is chosen with F1-F8 (alive), the skill from the list of those usable now
// (not the common actions, no bard song, none whose daily uses are spent);
// a skill for one member asks for its target (F1-F8). The skill is used at
// once and its narration shown; a use that went ahead spends one of the
// skill's daily uses, when it has them. SPACE then closes the screen.
//
// The context a skill gets follows the actions' convention: the narration
// buffer and a distance of 0 (the actions reach the game through their own
// seam, never through the interface).
//
// The screen is a pane screen (screens/PaneScreen.h). Its state lives for
// the whole run (each run starts again from CHOOSE_MEMBER): the member, the
// skill, the list of the last member chosen, the narration of the last use.
#pragma once

class Interface_C;
class ScrollList_C;
class bl3dAction;
class bl3dPartyChar;

class UseSkill_C {
public:
    enum State {
        DONE = 0,
        CHOOSE_MEMBER = 1,
        USED = 4,
        FAILED = 5,
        NO_SKILLS = 6,
        CHOOSE_SKILL = 7,
        COMBAT_ONLY = 9,
        CHOOSE_TARGET = 10,
    };

    // Runs the screen over the main view until it closes.
    static void run(Interface_C* iface);
    static void key(int sym);
    static void updateText();

    static int getState();
    static bl3dPartyChar* getMember();
    static bl3dAction* getSkill();
    static const ScrollList_C* getSkillList();
    // What the last use said.
    static const char* getNarration();
};
