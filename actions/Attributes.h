// Integer attributes of creatures and integer world variables as the actions
// read and write them (TagList_C::intValue and setInt), with a creature or a
// list that may be null: an absent entry reads 0, and reading adds none.
#pragma once
#include <cstdint>

class bl3dCharacter;
class TagList_C;

int32_t intAttribute(const TagList_C* tags, const char* key);
int32_t intAttribute(const bl3dCharacter* who, const char* key);
void setIntAttribute(TagList_C* tags, const char* key, int32_t value);
void setIntAttribute(bl3dCharacter* who, const char* key, int32_t value);
