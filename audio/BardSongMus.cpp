#include "audio/BardSongMus.h"

#include "audio/AudioPort.h"
#include "audio/AudioText.h"
#include "core/Log.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

const char* SongParts_S::variantName(int index)
{
    static const char* const names[VARIANT_COUNT] = {"Flute", "Lute", "Harp", "Pipes", "Male", "Female", "DEFAULT"};
    return index >= 0 && index < VARIANT_COUNT ? names[index] : nullptr;
}

namespace {

// "0x" and one to eight hexadecimal digits (the "0x" may be left out).
bool parseActionId(const std::string& word, uint32_t& id)
{
    std::string digits = word;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits.erase(0, 2);
    if (digits.empty() || digits.size() > 8)
        return false;
    for (char c : digits)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    id = static_cast<uint32_t>(std::strtoul(digits.c_str(), nullptr, 16));
    return true;
}

} // namespace

BardSongMus_C::BardSongMus_C(const char* path, AudioPort_C& port) : port_(&port), path_(path ? path : "") {}

BardSongMus_C::~BardSongMus_C() { freeMusic(); }

bool BardSongMus_C::isPresent(int variant) const
{
    return variant >= 0 && variant < SongParts_S::VARIANT_COUNT && present_[variant];
}

void BardSongMus_C::load(bool withMusic)
{
    if (path_.empty() || loaded_)
        return;
    AudioTextFile_C file(path_, AudioTextFile_C::SKIP_COMMENTS);
    if (!file.isOpen()) {
        std::fprintf(stderr, "ERROR: Could not load BardSongMus_C config file %s!\n", path_.c_str());
        return;
    }
    VELL_LOG(9, "BardSongMus_C::load configfile open\n");
    std::vector<std::string> w;
    if (!file.next(w)) {
        std::fprintf(stderr, "ERROR: Unexpected EOF on read from BardSongMus_C config file %s!\n", path_.c_str());
        return;
    }
    uint32_t id = 0;
    if (w.empty() || !parseActionId(w[0], id) || id == 0) {
        file.refuse("no action id (0x and up to 8 hexadecimal digits, not 0)");
        return;
    }
    actionId_ = id;
    VELL_LOG(4, "Loading Bard Song config for actionID 0x%08x\n", id);
    while (file.next(w)) {
        if (w.empty())
            continue;
        if (w.size() < 2) {
            file.refuse("a variant line needs a tag and a music file");
            continue;
        }
        int variant = -1;
        for (int i = 0; i < SongParts_S::VARIANT_COUNT; ++i)
            if (w[0] == SongParts_S::variantName(i))
                variant = i;
        if (variant < 0) {
            file.refuse("unknown tag '" + w[0] + "'");
            continue;
        }
        present_[variant] = true;
        files_[variant] = w[1];
        if (music_[variant])
            port_->freeMusic(music_[variant]);
        music_[variant] = nullptr;
    }
    loaded_ = true;
    VELL_LOG(1, "BardSongMus_C: Done loading bard song config file %s!\n", path_.c_str());
    if (withMusic)
        loadMusic();
}

void BardSongMus_C::loadMusic()
{
    if (!loaded_)
        return;
    for (int v = 0; v < SongParts_S::VARIANT_COUNT; ++v) {
        if (!present_[v] || music_[v] || files_[v].empty())
            continue;
        music_[v] = port_->loadMusic(files_[v].c_str());
        if (!music_[v]) {
            std::fprintf(stderr, "ERROR: Could not load %s bard song %s!\n", SongParts_S::variantName(v),
                         files_[v].c_str());
            files_[v].clear(); // tried once: the variant stays present and silent
        }
    }
}

int BardSongMus_C::chosenVariant(SongParts_S parts) const
{
    for (int i = 0; i < SongParts_S::VARIANT_COUNT; ++i)
        if (parts.wants(i) && present_[i])
            return i;
    return -1;
}

bool BardSongMus_C::hasVariant(SongParts_S parts) const { return chosenVariant(parts) >= 0; }

AudioMusic_S* BardSongMus_C::getMusic(SongParts_S parts) const
{
    if (!loaded_)
        return nullptr;
    const int v = chosenVariant(parts);
    return v >= 0 ? music_[v] : nullptr;
}

int BardSongMus_C::play(SongParts_S parts, bool musicOn)
{
    if (!loaded_)
        return -2;
    playing_ = nullptr;
    const int v = chosenVariant(parts);
    if (v < 0)
        return -1;
    playing_ = music_[v];
    if (musicOn && playing_)
        port_->playMusic(playing_, true);
    return 0;
}

void BardSongMus_C::freeMusic()
{
    if (!loaded_)
        return;
    for (auto& m : music_) {
        if (m)
            port_->freeMusic(m);
        m = nullptr;
    }
    playing_ = nullptr;
}
