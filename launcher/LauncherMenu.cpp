#include "launcher/LauncherMenu.h"

#include "core/ModalLoop.h"
#include "core/ScreenProjection.h"
#include "platform/Files.h"

#include <SDL.h>
#include <GL/gl.h>

#include <cstdio>

namespace {

// The page layout: titles at (20, 360), key letters at x 40 (64 for the
// audio page's sub-options), values at x 500, "(B)ack" at the bottom.
constexpr int kTitleX = 20;
constexpr int kTitleY = 360;
constexpr int kKeyX = 40;
constexpr int kValueX = 500;
constexpr int kErrorY = 220;
constexpr int kErrorRight = 620;

const char* onOff(bool b) { return b ? "on" : "off"; }
const char* yesNo(bool b) { return b ? "yes" : "no"; }

// The value after `value` in the ring first, first + 1, ... first + count - 1
// (the last goes back to first). A value outside it, even a negative one
// read from the file, steps to where its remainder puts it in the ring.
int ringNext(int value, int first, int count) {
    const int r = (value - first + 1) % count;
    return first + (r < 0 ? r + count : r);
}

// names[value - first], or "" for a value outside the list.
template <size_t N>
const char* named(int value, int first, const char* const (&names)[N]) {
    const int i = value - first;
    return i >= 0 && i < static_cast<int>(N) ? names[i] : "";
}

const char* const kTexModes[] = {"lowest", "low", "moderate", "high", "highest"};
const char* const kDifficulties[] = {"easy", "average", "difficult", "impossible"};
const char* const kTextLevels[] = {"Normal", "Higher", "Highest"};

void setColour(LauncherText_S::Kind kind) {
    switch (kind) {
    case LauncherText_S::KEY: glColor3f(0.3f, 0.6f, 0.3f); break;
    case LauncherText_S::ERROR: glColor3f(0.85f, 0.35f, 0.3f); break;
    default: glColor3f(0.7f, 0.7f, 0.7f); break;
    }
}

} // namespace

LauncherMenu_C::LauncherMenu_C(GameConfig_S& config, bool audioOpen)
    : config_(config), audioOpen_(audioOpen), text_(1024, 768) {}

LauncherMenu_C::~LauncherMenu_C() {
    stopMusic();
    if (title_.texID) {
        GLuint id = static_cast<GLuint>(title_.texID);
        glDeleteTextures(1, &id);
    }
}

void LauncherMenu_C::startMusic() {
    if (!audioOpen_)
        return;
    Mix_VolumeMusic(128);
    music_ = Mix_LoadMUS(vell::resolvePath(kMusic).c_str());
    if (!music_) {
        std::fprintf(stderr, "ERROR! Couldn't load music (%s)!\n", kMusic);
        return;
    }
    Mix_PlayMusic(music_, -1);
}

void LauncherMenu_C::stopMusic() {
    if (!music_)
        return;
    Mix_HaltMusic();
    Mix_FreeMusic(music_);
    music_ = nullptr;
}

int LauncherMenu_C::run() {
    startMusic();
    if (!title_.texID)
        title_ = loadDATTex(kTitlePicture, 1, 1, 1);
    if (!title_.texID || text_.glyphCount() == 0) {
        stopMusic();
        return -1;
    }
    drawBackground();
    SDL_GL_SwapBuffers();
    state_ = STATE_MAIN;
    writeError_.clear();

    ModalLoop_C loop(state_, [this](const SDL_keysym& k) { key(k.sym); }, [this] { display(); });
    vell::pushRedraw();
    SDL_Event ev;
    while (state_ > 0 && state_ != STATE_PLAY) {
        if (!SDL_WaitEvent(&ev) || ev.type == SDL_QUIT) {
            // The close button (or the end of the event system): leave
            // without writing the settings.
            state_ = STATE_QUIT;
            break;
        }
        loop.handle(ev);
    }
    if (state_ == STATE_PLAY) {
        // The play page, drawn before the game is started.
        SDL_Event redraw{};
        redraw.type = SDL_USEREVENT;
        redraw.user.type = SDL_USEREVENT;
        redraw.user.code = vell::kRedrawCode;
        loop.handle(redraw);
    }
    stopMusic();
    return state_;
}

void LauncherMenu_C::drawBackground() {
    glClearColor(0.121f, 0.176f, 0.1875f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    setScreenProjection(kWindowWidth, kWindowHeight);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.121f, 0.176f, 0.1875f);
    glRecti(0, 0, 1024, 768);
    if (title_.texID) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(title_.texID));
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glColor3f(1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 1);
        glVertex2i(128, 608);
        glTexCoord2f(1, 1);
        glVertex2i(896, 608);
        glTexCoord2f(1, 0);
        glVertex2i(896, 768);
        glTexCoord2f(0, 0);
        glVertex2i(128, 768);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
}

std::vector<LauncherText_S> LauncherMenu_C::pageText() const {
    std::vector<LauncherText_S> out;
    auto title = [&](const char* text) { out.push_back({kTitleX, kTitleY, LauncherText_S::LABEL, text}); };
    // The rest of the word follows its key letter as the font measures it.
    auto option = [&](int y, int keyX, const char* key, const char* label, std::string value = {}) {
        out.push_back({keyX, y, LauncherText_S::KEY, key});
        out.push_back({keyX + text_.widthStr(key), y, LauncherText_S::LABEL, label});
        if (!value.empty())
            out.push_back({kValueX, y, LauncherText_S::VALUE, value});
    };
    auto back = [&] { option(60, 20, "(B)", "ack"); };
    auto number = [](int v) { return std::to_string(v); };

    const GameConfig_S& c = config_;
    switch (state_) {
    case STATE_MAIN:
        title("Vellicorn Options");
        option(330, kKeyX, "(P)", "lay Vellicorn");
        option(300, kKeyX, "(E)", "dit Configuration Options");
        option(270, kKeyX, "(Q)", "uit Vellicorn");
        if (!writeError_.empty())
            out.push_back({kTitleX, kErrorY, LauncherText_S::ERROR,
                           std::string("Could not write ") + GameConfig_S::kPath + ": " + writeError_});
        break;
    case STATE_CONFIG:
        title("Vellicorn Configuration");
        option(330, kKeyX, "(V)", "ideo Options");
        option(300, kKeyX, "(A)", "udio Options");
        option(270, kKeyX, "(G)", "ame Options");
        back();
        break;
    case STATE_VIDEO:
        title("Video Configuration");
        option(330, kKeyX, "(C)", "olor Depth", number(c.depth));
        option(305, kKeyX, "(I)", "nterface Detail", c.ifaceSmall ? "low" : "high");
        option(280, kKeyX, "(T)", "exture Detail", named(c.texMode, 1, kTexModes));
        option(255, kKeyX, "(L)", "inear Interpolation", onOff(c.linear));
        option(230, kKeyX, "(S)", "hadows", onOff(c.shadows));
        option(205, kKeyX, "(F)", "og", onOff(c.fog));
        option(180, kKeyX, "(W)", "indowed mode", onOff(c.window));
        option(155, kKeyX, "(D)", "irectX Video Driver", onOff(c.dxVideo));
        option(130, kKeyX, "(R)", "esolution", number(c.width) + "x" + number(c.height));
        option(105, kKeyX, "(V)", "iew Distance", number(c.graphics));
        back();
        break;
    case STATE_AUDIO:
        title("Audio Configuration");
        option(330, kKeyX, "(S)", "ound", yesNo(c.sound));
        option(300, 64, "(A)", "udio One-shots", yesNo(c.audioSpecial));
        option(270, 64, "(M)", "usic", yesNo(c.audioMusic));
        option(210, kKeyX, "(D)", "irectX Audio Driver", yesNo(c.dxAudio));
        back();
        break;
    case STATE_GAME:
        title("Game Configuration");
        option(330, kKeyX, "(S)", "mooth Walking", onOff(c.smoothWalk));
        option(300, kKeyX, "(D)", "ifficulty", named(c.difficulty, 0, kDifficulties));
        option(270, kKeyX, "(T)", "ext Brightness:", named(c.textLevel, 1, kTextLevels));
        option(240, kKeyX, "(F)", "ree Navigation", onOff(c.freeNavigation));
        option(210, kKeyX, "(M)", "ouse Support", onOff(c.mouseSupport));
        option(180, kKeyX, "(P)", "arty Gold", onOff(c.partyGold));
        back();
        break;
    default: // play: the background alone
        break;
    }
    return out;
}

void LauncherMenu_C::display() {
    drawBackground();
    for (const LauncherText_S& t : pageText()) {
        setColour(t.kind);
        if (t.kind == LauncherText_S::ERROR)
            text_.printFormat(t.x, t.y, t.text.c_str(), kErrorRight);
        else
            text_.printStr(t.x, t.y, t.text.c_str());
    }
}

bool LauncherMenu_C::writeSettings() {
    std::string why;
    if (config_.save(GameConfig_S::kPath, &why)) {
        writeError_.clear();
        return true;
    }
    writeError_ = why;
    return false;
}

bool LauncherMenu_C::mainKey(int sym) {
    switch (sym) {
    case 'p':
        if (writeSettings())
            state_ = STATE_PLAY;
        return true;
    case 'e':
        writeError_.clear();
        state_ = STATE_CONFIG;
        return true;
    case 'q':
        if (writeSettings())
            state_ = STATE_QUIT;
        return true;
    default:
        return false;
    }
}

bool LauncherMenu_C::configKey(int sym) {
    switch (sym) {
    case 'v': state_ = STATE_VIDEO; return true;
    case 'a': state_ = STATE_AUDIO; return true;
    case 'g': state_ = STATE_GAME; return true;
    case 'b': state_ = STATE_MAIN; return true;
    default: return false;
    }
}

bool LauncherMenu_C::videoKey(int sym) {
    GameConfig_S& c = config_;
    switch (sym) {
    case 'c':
        c.depth += 8;
        if (c.depth > 32)
            c.depth = 16;
        return true;
    case 'i': c.ifaceSmall = !c.ifaceSmall; return true;
    case 't': c.texMode = ringNext(c.texMode, 1, 5); return true;
    case 'l': c.linear = !c.linear; return true;
    case 's': c.shadows = !c.shadows; return true;
    case 'f': c.fog = !c.fog; return true;
    case 'w': c.window = !c.window; return true;
    case 'd': c.dxVideo = !c.dxVideo; return true;
    case 'r':
        // The three sizes in a ring; another size stays as it is.
        if (c.width == 1024) {
            c.width = 1280;
            c.height = 1024;
        } else if (c.width == 1280) {
            c.width = 1600;
            c.height = 1200;
        } else if (c.width == 1600) {
            c.width = 1024;
            c.height = 768;
        }
        return true;
    case 'v': c.graphics = ringNext(c.graphics, 0, 10); return true;
    case 'b': state_ = STATE_CONFIG; return true;
    default: return false;
    }
}

bool LauncherMenu_C::audioKey(int sym) {
    GameConfig_S& c = config_;
    switch (sym) {
    case 's': c.sound = !c.sound; return true;
    case 'a': c.audioSpecial = !c.audioSpecial; return true;
    case 'm': c.audioMusic = !c.audioMusic; return true;
    case 'd': c.dxAudio = !c.dxAudio; return true;
    case 'b': state_ = STATE_CONFIG; return true;
    default: return false;
    }
}

bool LauncherMenu_C::gameKey(int sym) {
    GameConfig_S& c = config_;
    switch (sym) {
    case 's': c.smoothWalk = !c.smoothWalk; return true;
    case 'd': c.difficulty = ringNext(c.difficulty, 0, 4); return true;
    case 't': c.textLevel = ringNext(c.textLevel, 1, 3); return true;
    case 'f': c.freeNavigation = !c.freeNavigation; return true;
    case 'm': c.mouseSupport = !c.mouseSupport; return true;
    case 'p': c.partyGold = !c.partyGold; return true;
    case 'b': state_ = STATE_CONFIG; return true;
    default: return false;
    }
}

void LauncherMenu_C::key(int sym) {
    bool changed = false;
    switch (state_) {
    case STATE_MAIN: changed = mainKey(sym); break;
    case STATE_CONFIG: changed = configKey(sym); break;
    case STATE_VIDEO: changed = videoKey(sym); break;
    case STATE_AUDIO: changed = audioKey(sym); break;
    case STATE_GAME: changed = gameKey(sym); break;
    default: break; // play and quit take no keys
    }
    if (changed)
        vell::pushRedraw();
}
