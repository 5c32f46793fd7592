// PtrList_C: an owning singly linked list of objects with a cursor (pack
// items, loot). The objects carry a 64-bit serial by which they are removed.
#pragma once
#include <cstdint>

// Base of every object a PtrList_C can own.
class ListObject_C {
public:
    virtual ~ListObject_C() = default;
    virtual uint64_t getSerial() const = 0;
};

class PtrList_C {
public:
    PtrList_C() = default;
    ~PtrList_C() { deleteAll(); }
    PtrList_C(const PtrList_C&) = delete;
    PtrList_C& operator=(const PtrList_C&) = delete;

    // 0, or -1 when no node can be allocated.
    int pushFront(ListObject_C* obj);
    // Unlinks the object whose serial is (high << 32 | low) and hands it back
    // (not deleted); null when none has it.
    ListObject_C* remove(uint32_t low, uint32_t high);
    ListObject_C* remove(uint64_t serial) {
        return remove(static_cast<uint32_t>(serial), static_cast<uint32_t>(serial >> 32));
    }
    // Unlinks this very object; true when it was in the list.
    bool unlink(ListObject_C* obj);
    bool first();
    ListObject_C* next();
    void deleteAll();
    int count() const { return count_; }
    // The object at position i from the head, null past the end.
    ListObject_C* at(int i) const;

private:
    struct Node {
        ListObject_C* obj;
        Node* next;
    };
    Node* head_ = nullptr;
    Node* cursor_ = nullptr;
    int32_t count_ = 0;
};

// Walks the set bits of a mask from bit 0 upward.
class BitIter_C {
public:
    explicit BitIter_C(uint32_t mask) : mask_(mask), index_(-1) { next(); }
    void next() {
        do {
            ++index_;
        } while (index_ < 32 && !(mask_ & (1u << index_)));
    }
    bool done() const { return index_ >= 32; }
    int index() const { return index_; }

private:
    uint32_t mask_;
    int32_t index_;
};
