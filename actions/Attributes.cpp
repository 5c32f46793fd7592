#include "actions/Attributes.h"

#include "core/TagList.h"
#include "rules/Character.h"

int32_t intAttribute(const TagList_C* tags, const char* key) {
    return (tags && key) ? tags->intValue(key) : 0;
}

int32_t intAttribute(const bl3dCharacter* who, const char* key) {
    return who ? intAttribute(who->getTagList(), key) : 0;
}

void setIntAttribute(TagList_C* tags, const char* key, int32_t value) {
    if (tags && key)
        tags->setInt(key, value);
}

void setIntAttribute(bl3dCharacter* who, const char* key, int32_t value) {
    if (who)
        setIntAttribute(who->getTagList(), key, value);
}
