// SongParts_S: which variants of a bard song's music are asked for, 2 bits
// per variant in one 32-bit word. Variant i sits at bits 2i and 2i+1; a
// nonzero value asks for it (the values 1 to 3 are not told apart here). The
// singer's "Inst" attribute gives the word; the world keeps it beside the
// song's action id.
#pragma once
#include <cstdint>

struct SongParts_S;

// Names one entry of a part mask.
struct SongPartRef_S {
    const SongParts_S* parts;
    int index;
    unsigned get() const;
};

struct SongParts_S {
    // Variant indices, in the order the mask and the song files use.
    enum Variant { FLUTE = 0, LUTE, HARP, PIPES, MALE, FEMALE, DEFAULT_PART, VARIANT_COUNT };

    uint32_t bits = 0;

    SongParts_S() = default;
    SongParts_S(uint32_t b) : bits(b) {} // the word as the world stores it

    // The 2-bit value of variant `index` (0 for an index outside 0..15).
    unsigned get(int index) const {
        return index >= 0 && index < 16 ? (bits >> (2 * index)) & 3u : 0u;
    }
    SongPartRef_S at(int index) const { return SongPartRef_S{this, index}; }
    bool wants(int index) const { return get(index) != 0; }

    // The mask that asks for one variant (value 1).
    static SongParts_S only(int index) { return SongParts_S(index >= 0 && index < 16 ? 1u << (2 * index) : 0u); }

    // The variant names as song files spell them; null outside 0..6.
    static const char* variantName(int index);
};

inline unsigned SongPartRef_S::get() const { return parts ? parts->get(index) : 0u; }
