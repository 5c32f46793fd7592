// Storable_C: a record kept as a named entry of the save archive; the entry
// remembers its type id and version so that the record can be rebuilt through
// the type registry.
#pragma once
#include "core/RefStr.h"

#include <memory>

class MemStream_C;

// Stored type ids.
enum StoredType : int {
    TYPE_ARCHIVE_DIR = 1,
    TYPE_PARTY_CHAR = 2,
    TYPE_GAME_WORLD = 3,
    TYPE_SHOP_INV = 4,
    TYPE_PARTY = 5,
    TYPE_TAG_LIST = 6,
    TYPE_POISON = 7,
    TYPE_RA2D_WORLD = 100,
    TYPE_MAP_INFO = 101,
};

class Storable_C {
public:
    explicit Storable_C(const RefStr_C& name) : name_(name) {}
    virtual ~Storable_C() = default;

    virtual int typeId() const = 0;
    virtual int version() const { return 1; }
    // Appends the record's bytes.
    virtual void write(MemStream_C& s) const = 0;
    // Reads them back; false when the bytes are short or make no sense (the
    // record is then unusable and its reader says so).
    virtual bool read(int version, MemStream_C& s) = 0;

    const RefStr_C& getName() const { return name_; }
    void setName(const RefStr_C& name) { name_ = name; }

private:
    RefStr_C name_;
};

// Builds an object of one type with the entry's name and reads it from the
// stream; null when reading fails.
using CreateFn = std::unique_ptr<Storable_C> (*)(const RefStr_C& name, int version, MemStream_C& s);

class TypeRegistry_C {
public:
    TypeRegistry_C() = default;
    ~TypeRegistry_C();
    TypeRegistry_C(const TypeRegistry_C&) = delete;
    TypeRegistry_C& operator=(const TypeRegistry_C&) = delete;

    // The newest registration of an id wins.
    void add(int typeId, CreateFn fn);
    // Null when no function is registered for the id (nothing is read).
    std::unique_ptr<Storable_C> create(int typeId, const RefStr_C& name, int version, MemStream_C& s) const;
    bool has(int typeId) const;
    void clear();

private:
    struct Node {
        int typeId;
        CreateFn fn;
        Node* next;
    };
    Node* head_ = nullptr;
};

TypeRegistry_C& getTypeRegistry();
