// The drawing side of the fight (Event_4000_C::redraw and display live in
// screens/CombatScreen.cpp): the enemy's picture in the upper-left pane,
// the party roster, and the page of the fight's state in the upper-right
// text pane.
#pragma once

// What the item chooser and the message boxes of the fight draw behind
// themselves: the picture of the first enemy group's monster (or
// "Treasure" once no group is left).
void combatChooserRedraw();

// The picture nickname of the fight's upper-left pane now.
const char* combatPictureName();
