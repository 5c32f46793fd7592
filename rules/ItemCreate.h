// ItemCreate_S: one kind of item creation from "data/itemcreate.dat": its
// name, the character attribute that holds the skill (such as
// "CreateAbility"), the bit field of that attribute that holds this skill,
// and the two texts the item-creation screen shows (failure, no match).
#pragma once
#include "core/RefStr.h"

#include <cstdint>
#include <vector>

class MemStream_C;

struct ItemCreate_S {
    RefStr_C name;
    RefStr_C key;
    int32_t mask = 0;
    RefStr_C failText;
    RefStr_C noMatchText;

    const char* getName() const { return name.c_str(); }
    const char* getKey() const { return key.c_str(); }
    int32_t getMask() const { return mask; }

    // The file form: string name, string key, int32 mask, string, string.
    void write(MemStream_C& s) const;
    // False when the stream ends inside the record.
    bool read(MemStream_C& s);
};

// The kinds of item creation, in file order (a recipe's id indexes it).
extern std::vector<ItemCreate_S> itemCreate;
