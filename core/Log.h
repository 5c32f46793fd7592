// The game's one diagnostic call; compiled to nothing in the shipped game.
#pragma once

#define VELL_LOG(level, ...) ((void)0)
