#include "rules/ItemCreate.h"

#include "core/MemStream.h"

std::vector<ItemCreate_S> itemCreate;

void ItemCreate_S::write(MemStream_C& s) const {
    name.write(s);
    key.write(s);
    s.writeInt32(mask);
    failText.write(s);
    noMatchText.write(s);
}

bool ItemCreate_S::read(MemStream_C& s) {
    return name.read(s) && key.read(s) && s.readInt32(mask) && failText.read(s) && noMatchText.read(s);
}
