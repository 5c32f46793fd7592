// The main view's command keys: which screen or party action each key
// opens. The world knows only walking, turning, waiting and ESC; start-up
// (and a test that presses the keys) installs the rest on the interface.
// A new command key is one more line in installMainViewKeys.
#pragma once
class Interface_C;

void installMainViewKeys(Interface_C& ui);
