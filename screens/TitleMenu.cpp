#include "screens/TitleMenu.h"

#include "audio/MasterAudio.h"
#include "core/DirIter.h"
#include "core/GameConfig.h"
#include "core/ModalLoop.h"
#include "core/MouseRegions.h"
#include "core/ScrollList.h"
#include "core/ScreenProjection.h"
#include "core/Startup.h"
#include "platform/FileIO.h"
#include "platform/Files.h"

#include <GL/gl.h>
#include <SDL_mixer.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr const char* kTitlePicture = "pics/other/titlescreen.dat";
constexpr const char* kSelectPicture = "pics/other/gameselect.dat";
constexpr const char* kMenuMusic = "pics/intro/credits.ogg";
constexpr int kCopyBufferBytes = 2048;

// Layout in the 1024 x 768 design space.
constexpr int kLeftX = 400;
constexpr int kRightX = 660;
constexpr int kFirstLineY = 490;
constexpr int kFooterY = 208;

int scaleX(int v, int screenWidth) { return v * screenWidth / 1024; }
int scaleY(int v, int screenHeight) { return v * screenHeight / 768; }

bool isNameCharacter(int k) {
    return (k >= 'a' && k <= 'z') || (k >= '0' && k <= '9') || k == ' ' || k == '_';
}

// The key as the name entry reads it: on most keyboards the underscore is
// shift and the minus key, which SDL reports as the minus key.
int typedKey(const SDL_keysym& k) {
    if (k.sym == SDLK_MINUS && (k.mod & KMOD_SHIFT))
        return '_';
    return k.sym;
}

void freeTexture(TexInfo_S& tex) {
    if (tex.texID) {
        GLuint id = static_cast<GLuint>(tex.texID);
        glDeleteTextures(1, &id);
    }
    tex = TexInfo_S();
}

} // namespace

TitleMenu_C::TitleMenu_C(int screenWidth, int screenHeight)
    // Text is placed in window pixels (the layout below is scaled to the
    // window), so it is printed through the window's own space; the
    // pictures are drawn in the 1024 x 768 design space.
    : CommonInterface_C(screenWidth, screenHeight),
      firstLineY_(scaleY(kFirstLineY, screenHeight)),
      footerY_(scaleY(kFooterY, screenHeight)),
      leftX_(scaleX(kLeftX, screenWidth)),
      rightX_(scaleX(kRightX, screenWidth)),
      screenWidth_(screenWidth),
      screenHeight_(screenHeight) {
    if (gameConfig.mouseSupport) {
        mouseRegions_ = std::make_unique<MouseRegions_C>();
        mouseRegions_->makeCursors();
        SDL_ShowCursor(1);
    }
    const int quality = gameConfig.ifaceSmall ? 0 : 1;
    titlePic_ = loadDATTex(kTitlePicture, quality, 1, 1);
    selectPic_ = loadDATTex(kSelectPicture, quality, 1, 1);
    saveFolder_ = getBaseDir();
    saveFolder_ += "/savegame";
    vell::ensureDir(saveFolder_.c_str());
}

TitleMenu_C::~TitleMenu_C() {
    freeTexture(titlePic_);
    freeTexture(selectPic_);
}

int TitleMenu_C::questListSize() const { return scrollList_ ? scrollList_->getNumLines() : 0; }

RefStr_C TitleMenu_C::selectedQuest() const { return scrollList_ ? scrollList_->selectedText() : RefStr_C(); }

void TitleMenu_C::setState(int s) {
    state_ = s;
    if (s > 0)
        vell::pushRedraw();
}

void TitleMenu_C::showMessage(const std::string& text, int backTo) {
    message_ = text;
    messageBackTo_ = backTo;
    setState(STATE_MESSAGE);
}

int TitleMenu_C::run(bool gameLoaded) {
    gameLoaded_ = gameLoaded;
    maserAudio.clearCurMusic();
    maserAudio.suspend(); // no map sounds over the menu
    if (gameConfig.mouseSupport) {
        mouseRegions_ = std::make_unique<MouseRegions_C>();
        mouseRegions_->makeCursors();
        SDL_ShowCursor(1);
    }

    Mix_Music* music = nullptr;
    if (soundActive()) {
        Mix_VolumeMusic(128);
        music = Mix_LoadMUS(vell::resolvePath(kMenuMusic).c_str());
        if (music)
            Mix_PlayMusic(music, -1);
        else
            std::fprintf(stderr, "ERROR! Couldn't load music (%s)!\n", kMenuMusic);
    }

    if (titleShown_) {
        state_ = STATE_MENU;
    } else {
        state_ = STATE_TITLE;
        titleShown_ = true;
    }
    if (!pendingMessage_.empty()) {
        message_ = pendingMessage_;
        messageBackTo_ = STATE_MENU;
        state_ = STATE_MESSAGE;
        pendingMessage_.clear();
    }
    ModalLoop_C loop(state_, [this](const SDL_keysym& k) { key(typedKey(k)); }, [this] { display(); });
    loop.setMouse(mouseRegions_.get());
    loop.run();

    if (music) {
        Mix_HaltMusic();
        Mix_FreeMusic(music);
    }
    // Back to the quest in play: its music and sounds come back with the
    // main view, not at the first step.
    if ((state_ == STATE_CONTINUE || state_ == STATE_SAVE) && !vell::quitRequested())
        maserAudio.tick();
    if (vell::quitRequested())
        return RESULT_QUIT;   // the window was closed: as the menu's quit

    switch (state_) {
    case STATE_START:
        return RESULT_START;
    case STATE_SAVE:
        return RESULT_SAVE;
    case STATE_CREDITS:
        return RESULT_CREDITS;
    case STATE_QUIT:
        return RESULT_QUIT;
    default:
        return RESULT_CONTINUE;
    }
}

void TitleMenu_C::key(int k) {
    switch (state_) {
    case STATE_TITLE:
        setState(STATE_MENU);
        break;
    case STATE_MENU:
        if (k == 'n') {
            std::strcpy(questName_, "_");
            nameLength_ = 0;
            setState(STATE_NAME);
        } else if (k == 'l') {
            buildQuestList();
            setState(STATE_LIST);
        } else if (k == 'c' && gameLoaded_) {
            setState(STATE_CONTINUE);
        } else if (k == 's' && gameLoaded_) {
            setState(STATE_SAVE);
        } else if (k == 'v') {
            setState(STATE_CREDITS);
        } else if (k == 'q') {
            setState(STATE_CONFIRM_QUIT);
        }
        break;
    case STATE_NAME:
        if (isNameCharacter(k)) {
            if (nameLength_ < kMaxNameLength) {
                questName_[nameLength_++] = static_cast<char>(k >= 'a' && k <= 'z' ? k - 'a' + 'A' : k);
                questName_[nameLength_] = '_';
                questName_[nameLength_ + 1] = 0;
                vell::pushRedraw();
            }
        } else if (k == SDLK_BACKSPACE || k == SDLK_DELETE) {
            if (nameLength_ > 0) {
                --nameLength_;
                questName_[nameLength_] = '_';
                questName_[nameLength_ + 1] = 0;
                vell::pushRedraw();
            }
        } else if (k == SDLK_RETURN) {
            if (nameLength_ > 0)
                startNewQuest();
        } else if (k == SDLK_ESCAPE) {
            nameLength_ = 0;
            setState(STATE_MENU);
        }
        break;
    case STATE_REPLACE:
        if (k == 'y') {
            if (isQuestInPlay(questPath_)) {
                restoreNameCursor();
                // Its archive is open in the running game; copying over it
                // would destroy the quest under the player's feet.
                showMessage("That quest is thine adventure in progress and cannot be replaced!", STATE_NAME);
            } else if (copyTemplate(questPath_.c_str())) {
                setState(STATE_START);
            }
        } else if (k == 'n') {
            restoreNameCursor(); // back to typing: the name shows its cursor again
            setState(STATE_NAME);
        }
        break;
    case STATE_LIST:
        if (k == SDLK_UP) {
            scrollList_->lineUp();
            vell::pushRedraw();
        } else if (k == SDLK_DOWN) {
            scrollList_->lineDown();
            vell::pushRedraw();
        } else if (k == SDLK_PAGEUP) {
            scrollList_->pageUp();
            vell::pushRedraw();
        } else if (k == SDLK_PAGEDOWN) {
            scrollList_->pageDown();
            vell::pushRedraw();
        } else if (k == SDLK_RETURN) {
            RefStr_C text = scrollList_->selectedText();
            if (!text.empty()) {
                questPath_ = saveFolder_ + "/";
                questPath_ += text;
                setState(gameLoaded_ ? STATE_CONFIRM_LOAD : STATE_START);
            }
        } else if (k == SDLK_ESCAPE) {
            setState(STATE_MENU);
        }
        break;
    case STATE_CONFIRM_LOAD:
        if (k == 'y')
            setState(STATE_START);
        else if (k == 'n')
            setState(STATE_MENU);
        break;
    case STATE_CONFIRM_QUIT:
        if (k == 'y')
            setState(STATE_QUIT);
        else if (k == 'n')
            setState(STATE_MENU);
        break;
    case STATE_MESSAGE:
        if (k == SDLK_SPACE || k == SDLK_RETURN || k == SDLK_ESCAPE)
            setState(messageBackTo_);
        break;
    default:
        break;
    }
}

void TitleMenu_C::restoreNameCursor() {
    questName_[nameLength_] = '_';
    questName_[nameLength_ + 1] = 0;
}

bool TitleMenu_C::isQuestInPlay(const RefStr_C& path) const {
    return gameLoaded_ && !playingPath_.empty() && playingPath_ == path;
}

void TitleMenu_C::startNewQuest() {
    const std::string name = typedName();
    questPath_ = saveFolder_ + "/";
    questPath_ += name.c_str();
    questName_[nameLength_] = 0; // the cursor goes

    vell::ensureDir(saveFolder_.c_str());
    for (DirIter_C it(saveFolder_.c_str()), end; it != end; it.next()) {
        if (!it.isDir() && name == it.name()) {
            setState(STATE_REPLACE);
            return;
        }
    }
    if (copyTemplate(questPath_.c_str()))
        setState(STATE_START);
}

// Copies the template through a temporary file that is renamed over the
// target, so that a failed copy never leaves a half quest (nor destroys the
// quest it was to replace).
bool TitleMenu_C::copyTemplate(const std::string& target) {
    auto fail = [&](const std::string& what) {
        std::fprintf(stderr, "ERROR: Could not create the quest '%s': %s\n", target.c_str(), what.c_str());
        restoreNameCursor();
        std::string why = what;
        if (!why.empty() && why[0] >= 'a' && why[0] <= 'z')
            why[0] = char(why[0] - 'a' + 'A');
        showMessage("The new quest could not be created!  " + why + ".", STATE_NAME);
        return false;
    };
    // The rename below would replace a quest that its owner marked
    // read-only, and leave a writable one in its place.
    if (vell::isReadOnlyFile(target))
        return fail("the quest is read-only and stays as it is");
    // Nor one that another game plays: its next save would be lost.
    if (vell::isHeld(target.c_str()))
        return fail("the quest is in use by another game");
    FILE* in = vell::openFile(kTemplatePath, "rb");
    if (!in)
        return fail("the quest template data/savegame.dat is missing");
    const std::string tmp = target + ".new";
    int out = vell::ioOpen(tmp.c_str(), true);
    if (out < 0) {
        std::fclose(in);
        return fail(std::string("its file cannot be written: ") + std::strerror(errno));
    }
    char buf[kCopyBufferBytes];
    bool ok = true;
    size_t total = 0;
    size_t n;
    while (ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0) {
        size_t done = 0;
        while (ok && done < n) {
            long w = vell::ioWrite(out, buf + done, n - done);
            if (w <= 0)
                ok = false;
            else
                done += static_cast<size_t>(w);
        }
        total += n;
    }
    if (std::ferror(in) || total == 0)
        ok = false;
    std::fclose(in);
    if (ok && !vell::ioSync(out))
        ok = false;
    if (vell::ioClose(out) != 0)
        ok = false;
    if (ok && std::rename(tmp.c_str(), target.c_str()) != 0)
        ok = false;
    if (!ok) {
        std::remove(tmp.c_str());
        return fail(total == 0 ? "the quest template is empty or unreadable" : "writing failed");
    }
    return true;
}

void TitleMenu_C::buildQuestList() {
    // The regions drawn last may point into the old list: they go with it.
    if (mouseRegions_)
        mouseRegions_->clear();
    const int lh = getLineHeight();
    scrollList_ = std::make_unique<ScrollList_C>(this, leftX_, rightX_, firstLineY_ - 3 * lh, footerY_ + 2 * lh);
    int position = 0;
    for (DirIter_C it(saveFolder_.c_str()), end; it != end; it.next()) {
        if (it.isDir())
            continue;
        const size_t len = std::strlen(it.name());
        // A copy that was cut off by a crash is no quest.
        if (len > 4 && std::strcmp(it.name() + len - 4, ".new") == 0)
            continue;
        scrollList_->addLine(it.name(), ++position, true);
    }
}

void TitleMenu_C::drawPicture(const TexInfo_S& tex, float x0, float y0, float x1, float y1, float alpha) {
    if (!tex.texID || !tex.texWidth || !tex.texHeight)
        return;
    const float maxS = float(tex.width) / float(tex.texWidth);
    const float maxT = float(tex.height) / float(tex.texHeight);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(tex.texID));
    glColor4f(1, 1, 1, alpha);
    glBegin(GL_QUADS);
    glTexCoord2f(0, maxT);
    glVertex2f(x0, y0);
    glTexCoord2f(maxS, maxT);
    glVertex2f(x1, y0);
    glTexCoord2f(maxS, 0);
    glVertex2f(x1, y1);
    glTexCoord2f(0, 0);
    glVertex2f(x0, y1);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

void TitleMenu_C::addKeyRegion(int glY, const char* text, int keyCode) {
    if (!mouseRegions_ || keyCode == 0)
        return;
    const int lh = getLineHeight();
    int w = widthStr(text);
    mouseRegions_->addRegion(leftX_, screenHeight_ - glY - lh + 4, w > 0 ? w : 1, lh, keyCode, 0);
}

// Prints text from the given line (0 = the first line) and returns the
// number of lines it took.
int TitleMenu_C::printLine(int line, const char* text, int keyCode) {
    const int y = firstLineY_ - line * getLineHeight();
    glColor3f(0, 0, 0);
    printFormat(leftX_, y, text, rightX_);
    addKeyRegion(y, text, keyCode);
    int lines = heightStr(leftX_, rightX_, text);
    return lines > 0 ? lines : 1;
}

// Prints on the footer line, or `up` lines above it.
void TitleMenu_C::printFooter(int up, const char* text, int keyCode) {
    const int y = footerY_ + up * getLineHeight();
    glColor3f(0, 0, 0);
    printFormat(leftX_, y, text, rightX_);
    addKeyRegion(y, text, keyCode);
}

void TitleMenu_C::display() {
    if (mouseRegions_) {
        mouseRegions_->clear();
        int mx = 0, my = 0;
        SDL_GetMouseState(&mx, &my);
        mouseRegions_->mouseMove(mx, my, 1);
    }

    setScreenProjection(screenWidth_, screenHeight_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    if (state_ == STATE_TITLE) {
        drawPicture(titlePic_, 0, 0, 1024, 768, 1.0f);
    } else {
        drawPicture(titlePic_, 0, 0, 1024, 768, 0.35f);
        if (selectPic_.texID) {
            drawPicture(selectPic_, 256, 128, 768, 640, 1.0f);
        } else {
            // Without its picture the text still needs a light ground.
            glColor4f(0.85f, 0.78f, 0.62f, 1);
            glRecti(256, 128, 768, 640);
        }
    }

    switch (state_) {
    case STATE_MENU: {
        int line = printLine(0, "What is your will?", 0) + 1;
        line += printLine(line, "(N)ew Game", 'n');
        line += printLine(line, "(L)oad Game", 'l');
        if (gameLoaded_) {
            line += printLine(line, "(C)ontinue thy Quest", 'c');
            line += printLine(line, "(S)ave Game", 's');
        }
        line += printLine(line, "(V)iew Credits", 'v');
        printLine(line, "(Q)uit", 'q');
        printFooter(0, "vellrun v2.0", 0);
        break;
    }
    case STATE_NAME:
        printLine(0, "What shall you name your new Adventure?", 0);
        printLine(3, questName_, 0);
        printFooter(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case STATE_REPLACE:
        printLine(0, "An quest by that title already exists!  Are you sure you wish to replace it?", 0);
        printFooter(1, "(Y)es", 'y');
        printFooter(0, "(N)o", 'n');
        break;
    case STATE_LIST:
        printLine(0, "Which quest dost thou wish to resume?", 0);
        if (scrollList_) {
            scrollList_->draw(this, mouseRegions_.get());
            if (mouseRegions_) {
                const int top = scrollList_->getTop() + getLineHeight();
                mouseRegions_->addRegion(scrollList_->getLeft(), screenHeight_ - top,
                                         scrollList_->getRight() - scrollList_->getLeft(),
                                         top - scrollList_->getBottom(), 0, 0, ScrollList_C::mouseCallback,
                                         scrollList_.get());
            }
        }
        printFooter(0, "(ESCAPE) to Cancel", SDLK_ESCAPE);
        break;
    case STATE_CONFIRM_LOAD:
        printLine(0,
                  "Any progress in your quest since last you saved will be lost.  Art thou certain thine wish is "
                  "to proceed?",
                  0);
        printFooter(1, "(Y)es", 'y');
        printFooter(0, "(N)o", 'n');
        break;
    case STATE_CONFIRM_QUIT:
        printLine(0, "Do you truly desire to leave this realm?", 0);
        printFooter(1, "(Y)es", 'y');
        printFooter(0, "(N)o", 'n');
        break;
    case STATE_MESSAGE:
        printLine(0, message_.c_str(), 0);
        printFooter(0, "(SPACE) to Continue", SDLK_SPACE);
        break;
    default:
        break;
    }
}
