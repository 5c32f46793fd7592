#include "core/GameConfig.h"

#include "core/ConfigFile.h"
#include "platform/FileIO.h"
#include "platform/Files.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

GameConfig_S gameConfig;

namespace {

constexpr int kLineSize = 200; // at most 199 characters of a line
constexpr int kWordSize = 40;  // at most 39 characters of a word

// True when `word` begins with `prefix`.
bool startsWith(const char* word, const char* prefix) {
    return std::strncmp(word, prefix, std::strlen(prefix)) == 0;
}

bool isOffWord(const char* v) { return startsWith(v, "0") || startsWith(v, "off") || startsWith(v, "no"); }
bool isOnWord(const char* v) { return startsWith(v, "1") || startsWith(v, "on") || startsWith(v, "yes"); }

// Splits the line into up to `maxWords` blank-separated, lower-cased words;
// longer words are cut to kWordSize - 1 characters. Returns the word count.
int splitWords(const char* line, char words[][kWordSize], int maxWords) {
    int n = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
    while (n < maxWords) {
        while (*p && std::isspace(*p))
            ++p;
        if (!*p)
            break;
        int len = 0;
        while (*p && !std::isspace(*p)) {
            if (len < kWordSize - 1)
                words[n][len++] = static_cast<char>(std::tolower(*p));
            ++p;
        }
        words[n][len] = 0;
        ++n;
    }
    return n;
}

int difficultyOf(const char* v) {
    if (startsWith(v, "0") || startsWith(v, "easy"))
        return 0;
    if (startsWith(v, "1") || startsWith(v, "aver"))
        return 1;
    if (startsWith(v, "2") || startsWith(v, "diff"))
        return 2;
    if (startsWith(v, "3") || startsWith(v, "imp"))
        return 3;
    return 1;
}

int textLevelOf(const char* v) {
    if (startsWith(v, "2") || startsWith(v, "medium"))
        return 2;
    if (startsWith(v, "3") || startsWith(v, "high"))
        return 3;
    return 1; // "1", "normal" and anything else
}

const char* onOff(bool b) { return b ? "on" : "off"; }

const char* difficultyName(int d) {
    static const char* const names[] = {"easy", "average", "difficult", "impossible"};
    return d >= 0 && d <= 3 ? names[d] : "average";
}

} // namespace

void GameConfig_S::setDefaults() {
    debugLevel = 0;
    graphics = 9;
    sound = true;
    debugFile = stderr;
    ifaceSmall = false;
    texMode = 5;
    linear = true;
    shadows = true;
    fog = true;
    depth = 24;
    window = false;
    width = 1024;
    height = 768;
    dxAudio = false;
    dxVideo = false;
    smoothWalk = true;
    difficulty = 1;
    audioSpecial = true;
    audioMusic = true;
    textLevel = 1;
    freeNavigation = false;
    mouseSupport = false;
    partyGold = false;
}

bool GameConfig_S::applyLine(const char* line) {
    char words[4][kWordSize];
    if (splitWords(line, words, 4) < 2)
        return false;
    const char* key = words[0];
    const char* v = words[1];

    // The first prefix that matches decides, in this order.
    if (startsWith(key, "depth")) {
        int d = std::atoi(v);
        depth = (d == 16 || d == 24 || d == 32) ? d : 24;
    } else if (startsWith(key, "sound")) {
        sound = !isOffWord(v);
    } else if (startsWith(key, "iface")) {
        ifaceSmall = startsWith(v, "small") || startsWith(v, "low");
    } else if (startsWith(key, "texmode")) {
        int t;
        texMode = std::sscanf(v, "%d", &t) == 1 ? t : 5;
    } else if (startsWith(key, "linear")) {
        linear = !isOffWord(v);
    } else if (startsWith(key, "shadow")) {
        shadows = !isOffWord(v);
    } else if (startsWith(key, "fog")) {
        fog = !isOffWord(v);
    } else if (startsWith(key, "window")) {
        window = isOnWord(v);
    } else if (startsWith(key, "dxaudio")) {
        dxAudio = isOnWord(v);
    } else if (startsWith(key, "dxvideo")) {
        dxVideo = isOnWord(v);
    } else if (startsWith(key, "res")) {
        int w = 0, h = 0;
        std::sscanf(v, "%dx%d", &w, &h);
        if ((w == 1280 && h == 1024) || (w == 1600 && h == 1200)) {
            width = w;
            height = h;
        } else {
            width = 1024;
            height = 768;
        }
    } else if (startsWith(key, "graphics")) {
        int g = std::atoi(v);
        graphics = g < 0 ? 0 : (g > 9 ? 9 : g);
    } else if (startsWith(key, "smooth")) {
        smoothWalk = !isOffWord(v);
    } else if (startsWith(key, "diff")) {
        difficulty = difficultyOf(v);
    } else if (startsWith(key, "audio-sp")) {
        audioSpecial = !isOffWord(v);
    } else if (startsWith(key, "audio-mu")) {
        audioMusic = !isOffWord(v);
    } else if (startsWith(key, "text")) {
        textLevel = textLevelOf(v);
    } else if (startsWith(key, "free")) {
        freeNavigation = isOnWord(v);
    } else if (startsWith(key, "mouse")) {
        mouseSupport = isOnWord(v);
    } else if (startsWith(key, "party")) {
        partyGold = isOnWord(v);
    } else {
        return false;
    }
    return true;
}

void GameConfig_S::load(const char* path, ConfigReadReport_S* report) {
    ConfigReadReport_S unused;
    ConfigReadReport_S& found = report ? *report : unused;
    found = ConfigReadReport_S();
    errno = 0;
    FILE* f = openConfig(path);
    if (!f) {
        if (errno == ENOENT || errno == ENOTDIR)
            found.missing = true;
        else
            found.error = errno ? errno : EIO;
        return;
    }
    char line[kLineSize];
    int number = 0;
    while (std::fgets(line, sizeof line, f)) {
        ++number;
        size_t len = std::strlen(line);
        bool ended = len > 0 && line[len - 1] == '\n';
        if (!ended && !std::feof(f)) {
            // A line of exactly 199 characters fills the buffer and its line
            // end is the next character: it is a whole line.
            int c = std::fgetc(f);
            if (c != '\n' && c != EOF) {
                // Longer than the buffer: the whole line is skipped, not
                // split into pieces that would read as lines of their own.
                while ((c = std::fgetc(f)) != EOF && c != '\n') {
                }
                found.ignoredLines.push_back(number);
                continue;
            }
        }
        if (line[0] == '#')
            continue;
        // A last line without line end counts too.
        char words[1][kWordSize];
        if (!applyLine(line) && splitWords(line, words, 1) > 0)
            found.ignoredLines.push_back(number);
    }
    if (std::ferror(f))
        found.error = errno ? errno : EIO;
    closeConfig(f);
}

std::string GameConfig_S::toText() const {
    char buf[1024];
    std::snprintf(buf, sizeof buf,
                  "depth %d\n"
                  "sound %s\n"
                  "iface %s\n"
                  "texMode %d\n"
                  "linear %s\n"
                  "shadows %s\n"
                  "fog %s\n"
                  "window %s\n"
                  "dxaudio %s\n"
                  "dxvideo %s\n"
                  "resolution %dx%d\n"
                  "graphics %d\n"
                  "smoothWalk %s\n"
                  "audio-special %s\n"
                  "audio-music %s\n"
                  "textLevel %d\n"
                  "free-navigation %s\n"
                  "mouse-support %s\n"
                  "party-gold %s\n"
                  "difficulty %s\n",
                  depth, onOff(sound), ifaceSmall ? "low" : "high", texMode, onOff(linear), onOff(shadows),
                  onOff(fog), onOff(window), onOff(dxAudio), onOff(dxVideo), width, height, graphics,
                  onOff(smoothWalk), onOff(audioSpecial), onOff(audioMusic), textLevel, onOff(freeNavigation),
                  onOff(mouseSupport), onOff(partyGold), difficultyName(difficulty));
    return buf;
}

namespace {

// The comment lines of the file at `path` ('#' first), each ended by "\n",
// in their order; "" when there is no such file.
std::string commentLines(const std::string& path) {
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    std::string line;
    int c = 0;
    do {
        line.clear();
        while ((c = std::fgetc(f)) != EOF && c != '\n')
            line.push_back(static_cast<char>(c));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '#')
            out += line + "\n";
    } while (c != EOF);
    std::fclose(f);
    return out;
}

} // namespace

bool GameConfig_S::save(const char* path, std::string* why) const {
    // The file the reader finds (a differently cased name included).
    const std::string target = vell::resolvePath(path);
    // The player's notes stay, above the settings.
    const std::string text = commentLines(target) + toText();
    const std::string tmp = target + ".tmp";
    auto fail = [&](int err) {
        const char* reason = std::strerror(err ? err : EIO);
        std::fprintf(stderr, "ERROR: Could not write '%s': %s\n", path, reason);
        if (why)
            *why = reason;
        return false;
    };
    // A temporary file left by an earlier run goes first, so that the new
    // file gets the mode of a new file.
    std::remove(tmp.c_str());
    int fd = vell::ioOpen(tmp.c_str(), true);
    if (fd < 0)
        return fail(errno);
    size_t done = 0;
    bool ok = true;
    while (ok && done < text.size()) {
        long n = vell::ioWrite(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            ok = false;
        else
            done += static_cast<size_t>(n);
    }
    int err = ok ? 0 : errno;
    if (ok && !vell::ioSync(fd)) {
        ok = false;
        err = errno;
    }
    if (vell::ioClose(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        std::remove(tmp.c_str());
        return fail(err);
    }
    return true;
}
