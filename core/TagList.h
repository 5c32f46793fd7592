// TagList_C: a small dictionary from text keys to TagValue_S values, stored as
// record type 6. Per-use counters live in it as a key such as "0x000a2042"
// (uses left) and the same key followed by "MAX" (uses a refill restores).
// Results: 1 found, 0 added, -1 refused (kind mismatch or absent key),
// -2 no memory.
#pragma once
#include "core/RefStr.h"
#include "core/Storable.h"
#include "core/TagValue.h"

#include <vector>

struct TagNode_S {
    RefStr_C key;
    TagValue_S value;
    TagNode_S* next = nullptr;
};

class TagList_C : public Storable_C {
public:
    explicit TagList_C(const RefStr_C& name = RefStr_C(""));
    TagList_C(const TagList_C& other);
    TagList_C& operator=(const TagList_C& other);
    ~TagList_C() override;

    int typeId() const override { return TYPE_TAG_LIST; }
    void write(MemStream_C& s) const override;
    bool read(int version, MemStream_C& s) override;
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    TagNode_S* find(const char* key) const;
    bool hasKey(const char* key) const { return find(key) != nullptr; }
    int findOrAdd(const char* key, TagValue_S** out);

    // The ordinary integer (kind 2) of that key; 0 when the key is absent
    // or holds another kind. Unlike getInt it adds no key.
    int32_t intValue(const char* key) const;
    int getInt(const char* key, int32_t& out);
    int setInt(const char* key, int32_t v);
    int getIntKind1(const char* key, int32_t& out);
    int setIntKind1(const char* key, int32_t v);

    int addCounter(const char* key, int32_t n);
    int setCounterMax(const char* key, int32_t n);
    int refillCounter(const char* key);
    std::vector<RefStr_C> counterKeys() const;
    int refillCounters();
    int32_t getCounter(const char* key);
    bool hasAmtLeft(const char* key);
    int32_t useCounter(const char* key);

    // Removes a key; true when it was there.
    bool removeKey(const char* key);
    void clearAll();
    int count() const;
    TagNode_S* head() const { return head_; }

private:
    int getKind(const char* key, int kind, int32_t& out);
    int setKind(const char* key, int kind, int32_t v);
    void copyFrom(const TagList_C& other);

    TagNode_S* head_ = nullptr;
};
