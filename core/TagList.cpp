#include "core/TagList.h"

#include "core/MemStream.h"

#include <cstring>
#include <new>

TagList_C::TagList_C(const RefStr_C& name) : Storable_C(name) {}

TagList_C::TagList_C(const TagList_C& other) : Storable_C(other.getName()) { copyFrom(other); }

TagList_C& TagList_C::operator=(const TagList_C& other) {
    if (this != &other) {
        clearAll();
        setName(other.getName());
        copyFrom(other);
    }
    return *this;
}

TagList_C::~TagList_C() { clearAll(); }

void TagList_C::copyFrom(const TagList_C& other) {
    // Keep the other list's order.
    TagNode_S** tail = &head_;
    for (TagNode_S* n = other.head_; n; n = n->next) {
        TagNode_S* c = new TagNode_S;
        c->key = n->key;
        c->value = n->value;
        *tail = c;
        tail = &c->next;
    }
}

void TagList_C::clearAll() {
    while (head_) {
        TagNode_S* n = head_->next;
        delete head_;
        head_ = n;
    }
}

int TagList_C::count() const {
    int c = 0;
    for (TagNode_S* n = head_; n; n = n->next)
        ++c;
    return c;
}

TagNode_S* TagList_C::find(const char* key) const {
    for (TagNode_S* n = head_; n; n = n->next)
        if (std::strcmp(n->key.c_str(), key) == 0)
            return n;
    return nullptr;
}

int TagList_C::findOrAdd(const char* key, TagValue_S** out) {
    if (TagNode_S* n = find(key)) {
        *out = &n->value;
        return 1;
    }
    TagNode_S* n = new (std::nothrow) TagNode_S;
    if (!n)
        return -2;
    n->key = key;
    n->next = head_;
    head_ = n;
    *out = &n->value;
    return 0;
}

int TagList_C::getKind(const char* key, int kind, int32_t& out) {
    TagValue_S* v = nullptr;
    int r = findOrAdd(key, &v);
    if (r < 0)
        return r;
    if (v->kind == 0)
        out = 0;
    else if (v->kind == kind)
        out = v->getInt();
    else
        return -1;
    return r;
}

int TagList_C::setKind(const char* key, int kind, int32_t val) {
    TagValue_S* v = nullptr;
    int r = findOrAdd(key, &v);
    if (r < 0)
        return r;
    if (v->kind != 0 && v->kind != kind)
        return -1;
    v->setKindInt(kind, val);
    return r;
}

int32_t TagList_C::intValue(const char* key) const {
    const TagNode_S* n = find(key);
    return n && n->value.kind == 2 ? n->value.getInt() : 0;
}

int TagList_C::getInt(const char* key, int32_t& out) { return getKind(key, 2, out); }
int TagList_C::setInt(const char* key, int32_t v) { return setKind(key, 2, v); }
int TagList_C::getIntKind1(const char* key, int32_t& out) { return getKind(key, 1, out); }
int TagList_C::setIntKind1(const char* key, int32_t v) { return setKind(key, 1, v); }

int TagList_C::addCounter(const char* key, int32_t n) {
    RefStr_C maxKey = RefStr_C(key) + "MAX";
    if (hasKey(key) && hasKey(maxKey.c_str()))
        return -1;
    if (setInt(key, n) == -2)
        return -2;
    if (setInt(maxKey.c_str(), n) == -2)
        return -3;
    return 0;
}

int TagList_C::setCounterMax(const char* key, int32_t n) {
    RefStr_C maxKey = RefStr_C(key) + "MAX";
    if (hasKey(maxKey.c_str()) && setInt(maxKey.c_str(), n) == 1)
        return 0;
    return -1;
}

int TagList_C::refillCounter(const char* key) {
    RefStr_C maxKey = RefStr_C(key) + "MAX";
    if (!hasKey(key) || !hasKey(maxKey.c_str()))
        return -1;
    int32_t maxVal = 0;
    if (getInt(maxKey.c_str(), maxVal) != 1)
        return -1;
    return setInt(key, maxVal) == 1 ? 0 : -1;
}

std::vector<RefStr_C> TagList_C::counterKeys() const {
    std::vector<RefStr_C> keys;
    for (TagNode_S* n = head_; n; n = n->next) {
        const char* k = n->key.c_str();
        if (std::strncmp(k, "0x", 2) == 0 && !std::strstr(k, "MAX"))
            keys.push_back(n->key);
    }
    return keys;
}

int TagList_C::refillCounters() {
    for (const RefStr_C& k : counterKeys())
        if (refillCounter(k.c_str()) != 0)
            return -1;
    return 0;
}

int32_t TagList_C::getCounter(const char* key) {
    if (!hasKey(key))
        return -1;
    int32_t v = 0;
    getInt(key, v);
    return v;
}

bool TagList_C::hasAmtLeft(const char* key) {
    if (!hasKey(key))
        return false;
    int32_t v = 0;
    getInt(key, v);
    return v != 0;
}

int32_t TagList_C::useCounter(const char* key) {
    if (!hasKey(key))
        return -1;
    int32_t v = 0;
    getInt(key, v);
    if (v != 0)
        --v;
    setInt(key, v);
    return v;
}

bool TagList_C::removeKey(const char* key) {
    for (TagNode_S** p = &head_; *p; p = &(*p)->next) {
        if (std::strcmp((*p)->key.c_str(), key) == 0) {
            TagNode_S* dead = *p;
            *p = dead->next;
            delete dead;
            return true;
        }
    }
    return false;
}

void TagList_C::write(MemStream_C& s) const {
    s.writeInt32(count());
    for (TagNode_S* n = head_; n; n = n->next) {
        n->key.write(s);
        n->value.write(s);
    }
}

bool TagList_C::read(int /*version*/, MemStream_C& s) {
    int32_t n = 0;
    if (!s.readInt32(n) || n < 0)
        return false;
    // Every node takes at least five bytes (empty key, kind byte).
    if (static_cast<uint64_t>(n) * 5 > s.remaining())
        return false;
    for (int32_t i = 0; i < n; ++i) {
        TagNode_S* node = new TagNode_S;
        if (!node->key.read(s) || !node->value.read(s)) {
            delete node;
            return false;
        }
        node->next = head_;
        head_ = node;
    }
    return true;
}

std::unique_ptr<Storable_C> TagList_C::create(const RefStr_C& name, int version, MemStream_C& s) {
    auto list = std::make_unique<TagList_C>(name);
    if (!list->read(version, s))
        return nullptr;
    return list;
}
