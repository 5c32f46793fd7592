#include "core/Storable.h"

TypeRegistry_C::~TypeRegistry_C() { clear(); }

void TypeRegistry_C::clear() {
    while (head_) {
        Node* n = head_->next;
        delete head_;
        head_ = n;
    }
}

void TypeRegistry_C::add(int typeId, CreateFn fn) { head_ = new Node{typeId, fn, head_}; }

bool TypeRegistry_C::has(int typeId) const {
    for (Node* n = head_; n; n = n->next)
        if (n->typeId == typeId)
            return true;
    return false;
}

std::unique_ptr<Storable_C> TypeRegistry_C::create(int typeId, const RefStr_C& name, int version,
                                                   MemStream_C& s) const {
    for (Node* n = head_; n; n = n->next)
        if (n->typeId == typeId)
            return n->fn ? n->fn(name, version, s) : nullptr;
    return nullptr;
}

TypeRegistry_C& getTypeRegistry() {
    static TypeRegistry_C typeRegistry;
    return typeRegistry;
}
