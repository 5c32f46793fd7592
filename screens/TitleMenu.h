// TitleMenu_C: the screen before a quest is played and after ESC from the
// main view. It starts a new quest (a copy of the template "data/savegame.dat"
// in the save folder), resumes a stored one, saves or continues the quest in
// play, asks for the credits and quits. It only returns a result; the main
// loop does the loading, saving and movie playing.
#pragma once
#include "core/CommonInterface.h"
#include "core/ImageLoad.h"
#include "core/RefStr.h"

#include <SDL.h>

#include <memory>
#include <string>

class MouseRegions_C;
class ScrollList_C;

class TitleMenu_C : public CommonInterface_C {
public:
    // Screen states (a state of 0 or below ends the menu's loop).
    enum State {
        STATE_TITLE = 101,     // the title picture only
        STATE_MENU = 1,
        STATE_NAME = 2,        // typing a new quest name
        STATE_REPLACE = 3,     // the name is taken: replace it?
        STATE_LIST = 4,        // choosing a stored quest
        STATE_CONFIRM_LOAD = 5,
        STATE_CONFIRM_QUIT = 6,
        STATE_MESSAGE = 7,     // a message; SPACE goes back to the given state
        STATE_CONTINUE = 0,
        STATE_QUIT = -1,
        STATE_START = -2,
        STATE_SAVE = -3,
        STATE_CREDITS = -4,
    };

    // Results of run().
    enum Result { RESULT_CONTINUE = 0, RESULT_START = 1, RESULT_SAVE = 2, RESULT_CREDITS = 3, RESULT_QUIT = -1 };

    static constexpr int kMaxNameLength = 15;
    static constexpr const char* kTemplatePath = "data/savegame.dat";

    TitleMenu_C(int screenWidth, int screenHeight);
    ~TitleMenu_C() override;
    TitleMenu_C(const TitleMenu_C&) = delete;
    TitleMenu_C& operator=(const TitleMenu_C&) = delete;

    // Runs the menu (waiting for events) and returns a Result. The quit
    // event (window closed, Ctrl-C, SIGTERM) returns RESULT_QUIT.
    int run(bool gameLoaded);
    // The archive of the quest to start after RESULT_START.
    RefStr_C getQuestPath() const { return questPath_; }
    // The quest in play, recorded by the main loop once it has loaded it
    // (empty: none; a quest that failed to load is none). The menu refuses
    // to replace the quest in play.
    void setQuestInPlay(const RefStr_C& path) { playingPath_ = path; }
    // A message that the next run() shows first; SPACE then leads to the
    // menu (a load that failed says why).
    void report(const std::string& message) { pendingMessage_ = message; }
    // The click regions (null without mouse support).
    MouseRegions_C* getMouseRegions() const { return mouseRegions_.get(); }

    // The key handler and the drawing; run() calls them, tests may too.
    void key(int k);
    void display();

    int getState() const { return state_; }
    // The typed name without its cursor.
    std::string typedName() const { return std::string(questName_, nameLength_); }
    // The name as the typing state shows it (with its '_' cursor while typing).
    const char* shownName() const { return questName_; }
    const RefStr_C& getSaveFolder() const { return saveFolder_; }
    const std::string& getMessage() const { return message_; }
    // Lines of the quest list (after 'l'); 0 without a list.
    int questListSize() const;
    RefStr_C selectedQuest() const;

private:
    void setState(int s);
    void showMessage(const std::string& text, int backTo);
    void startNewQuest();
    // Puts the '_' cursor back after the typed characters.
    void restoreNameCursor();
    bool copyTemplate(const std::string& target);
    void buildQuestList();
    bool isQuestInPlay(const RefStr_C& path) const;
    void drawPicture(const TexInfo_S& tex, float x0, float y0, float x1, float y1, float alpha);
    int printLine(int line, const char* text, int keyCode);
    void printFooter(int line, const char* text, int keyCode);
    void addKeyRegion(int glY, const char* text, int keyCode);

    int state_ = STATE_MENU;
    int nameLength_ = 0;
    TexInfo_S titlePic_;
    TexInfo_S selectPic_;
    std::unique_ptr<ScrollList_C> scrollList_;
    char questName_[20] = "_";
    RefStr_C saveFolder_;
    RefStr_C questPath_;
    RefStr_C playingPath_;      // the quest in play (setQuestInPlay)
    int firstLineY_;
    int footerY_;
    int leftX_;
    int rightX_;
    int screenWidth_;
    int screenHeight_;
    bool titleShown_ = false;
    bool gameLoaded_ = false;
    std::unique_ptr<MouseRegions_C> mouseRegions_;
    std::string message_;
    int messageBackTo_ = STATE_MENU;
    std::string pendingMessage_;
};
