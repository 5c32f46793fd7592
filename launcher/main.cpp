// vellconf: the launcher. Shows and edits the settings of "data/config.dat"
// and starts the game.
#include "launcher/LauncherMain.h"

int main() { return launcherMain(); }
