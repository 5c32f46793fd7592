// F1 to F8 name the party's places 0 to 7 on every screen: the main view,
// the character sheet, the buildings, the fights, the chests and the spell,
// song, skill and item screens (a click on a member's line of the roster
// sends that member's key too).
#pragma once

// The place (0..7) that an F1-F8 key names; -1 for any other key.
int memberSlotOfKey(int sym);
// The key (F1-F8) that names place 0..7.
int memberKeyOfSlot(int slot);
