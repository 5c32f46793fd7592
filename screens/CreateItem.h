// CreateItem_C: the screen in which a party member builds or brews an item:
// choose the builder, choose the kind of item creation, gather ingredients
// from any members' items with the item chooser, then try ('c'). The
// gathered ingredients are matched against the item types' recipes; a roll
// of 1..30 plus the builder's skill for the kind, less the number of
// ingredients, must reach 15; a member then takes the new item.
//
// Reached from the character sheet: a member with a skill for some kind of
// item creation is offered "(B)uild/Brew Item" there, which opens this
// screen with that member as the builder, on the kind page.
//
// The screen is a pane screen (screens/PaneScreen.h) that waits for each
// event. Taken ingredients are held by the screen while it runs. 'c' consumes
// those whose type is an ingredient (whatever comes of the attempt); every
// other taken item goes back to its owner when the screen ends, as all of
// them do on ESC: into the slot it came from, else a free slot of its mask,
// else the front of the owner's pack.
#pragma once
#include <vector>

class Interface_C;
class bl3dItem;
class bl3dItemType;
class bl3dPartyChar;

// One taken ingredient: the item, its owner and where it came from (an
// equipment slot 0..19, or 20 for the pack). Empty (item null) once used up.
struct Ingredient_S {
    bl3dItem* item = nullptr;
    bl3dPartyChar* owner = nullptr;
    int from = 20;
};

class CreateItem_C {
public:
    enum State { DONE = 0, CHOOSE_BUILDER = 1, CHOOSE_KIND = 2, INGREDIENTS = 3, TAKE_ITEM = 4 };
    // The success mark the roll must reach.
    static constexpr int kSuccessMargin = 15;

    // Starts on the builder page, or (startAtKinds) on the kind page with
    // every kind listed and no builder: the success roll then counts a skill
    // of 0.
    static void run(Interface_C* iface, bool startAtKinds);
    // Starts on the kind page with this member as the builder and the kinds
    // it has a skill for (a name of its own: with two overloads of run, a
    // null builder and a 0 flag would be one typo apart).
    static void runForBuilder(Interface_C* iface, bl3dPartyChar* builder);

    static void key(int sym);
    static void display();
    // The redraw function given to message boxes and the item chooser.
    static void redrawView();

    static int getState();
    static bl3dPartyChar* getBuilder();
    static int kindLines();
    static int ingredientLines();
    static const std::vector<Ingredient_S>& ingredients();
    static const bl3dItemType* createdType();
};
