// LauncherMenu_C: the launcher's menu in its 640 x 480 window. It shows the
// settings of "data/config.dat", lets the player change them page by page,
// and ends with Play or Quit, both of which write the file first.
//
// Life cycle: built after the window (and the mixer, when sound can be
// played) is open; run() plays the title music, loads the title picture and
// runs the menu until Quit, Play or the window's close button; the caller
// then starts the game (Play) or ends. Destroyed before the window closes.
//
// States: 1 main menu, 3 configuration menu, 4 video, 5 audio and 6 game
// options; 2 play and 0 quit end the loop. Keys are lower-case key symbols;
// every change asks for a redraw; other keys do nothing.
#pragma once
#include "core/CommonInterface.h"
#include "core/GameConfig.h"
#include "core/ImageLoad.h"

#include <SDL_mixer.h>

#include <string>
#include <vector>

// One piece of text of a menu page, as display prints it.
struct LauncherText_S {
    enum Kind { KEY, LABEL, VALUE, ERROR };
    int x = 0;
    int y = 0; // upward from the bottom of the window, in pixels
    Kind kind = LABEL;
    std::string text;
};

class LauncherMenu_C {
public:
    enum State {
        STATE_QUIT = 0,
        STATE_MAIN = 1,
        STATE_PLAY = 2,
        STATE_CONFIG = 3,
        STATE_VIDEO = 4,
        STATE_AUDIO = 5,
        STATE_GAME = 6,
    };

    static constexpr int kWindowWidth = 640;
    static constexpr int kWindowHeight = 480;
    static constexpr const char* kTitlePicture = "pics/other/title.dat";
    static constexpr const char* kMusic = "pics/intro/credits.ogg";

    // `config` is the launcher's settings record, edited in place and written
    // to "data/config.dat" by Play and Quit. `audioOpen` tells whether the
    // mixer is open for the title music; the sound setting is the player's
    // and is not changed by it. Loads the font "data/font.fot".
    LauncherMenu_C(GameConfig_S& config, bool audioOpen);
    ~LauncherMenu_C();
    LauncherMenu_C(const LauncherMenu_C&) = delete;
    LauncherMenu_C& operator=(const LauncherMenu_C&) = delete;

    // The menu loop. Returns STATE_QUIT after Quit (the file written) or the
    // window's close button (nothing written), STATE_PLAY after Play (the
    // file written, the play page drawn), and -1 when the title picture or
    // the font cannot be loaded (the loader said why on the error stream).
    int run();

    // Clears the window and draws the background and the title picture.
    void drawBackground();
    // The key handler of the current state.
    void key(int sym);
    // Draws the page of the current state.
    void display();

    // The text of the current page, as display prints it.
    std::vector<LauncherText_S> pageText() const;

    int getState() const { return state_; }
    // Why the last Play or Quit could not write the file; empty when it could.
    const std::string& writeError() const { return writeError_; }
    const TexInfo_S& titlePicture() const { return title_; }

private:
    bool mainKey(int sym);
    bool configKey(int sym);
    bool videoKey(int sym);
    bool audioKey(int sym);
    bool gameKey(int sym);
    // Writes the settings; on failure keeps the reason for the main page.
    bool writeSettings();
    void startMusic();
    void stopMusic();

    GameConfig_S& config_;
    bool audioOpen_;
    int state_ = STATE_MAIN;
    TexInfo_S title_;
    CommonInterface_C text_;
    Mix_Music* music_ = nullptr;
    std::string writeError_;
};
