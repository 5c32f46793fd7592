// The keys that move the selection of a screen's text list: UP and DOWN a
// line, PAGEUP and PAGEDOWN a page (when the screen takes them).
#pragma once

class ScrollInvList_C;
class ScrollList_C;
class ScrollPane_C;

// Moves the list for an arrow key (and, with pages, a page key); true when
// the key was one of them and the list moved, so that a redraw is due.
bool moveListByKey(ScrollList_C* list, int sym, bool pages);
bool moveListByKey(ScrollInvList_C* list, int sym, bool pages);
bool moveListByKey(ScrollPane_C* pane, int sym, bool pages);
