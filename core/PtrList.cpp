#include "core/PtrList.h"

#include <new>

int PtrList_C::pushFront(ListObject_C* obj) {
    Node* n = new (std::nothrow) Node{obj, head_};
    if (!n)
        return -1;
    head_ = n;
    ++count_;
    return 0;
}

ListObject_C* PtrList_C::remove(uint32_t low, uint32_t high) {
    uint64_t serial = uint64_t(high) << 32 | low;
    for (Node** p = &head_; *p; p = &(*p)->next) {
        if ((*p)->obj && (*p)->obj->getSerial() == serial) {
            Node* dead = *p;
            ListObject_C* obj = dead->obj;
            if (cursor_ == dead)
                cursor_ = dead->next;
            *p = dead->next;
            delete dead;
            --count_;
            return obj;
        }
    }
    return nullptr;
}

bool PtrList_C::unlink(ListObject_C* obj) {
    for (Node** p = &head_; *p; p = &(*p)->next) {
        if ((*p)->obj == obj) {
            Node* dead = *p;
            if (cursor_ == dead)
                cursor_ = dead->next;
            *p = dead->next;
            delete dead;
            --count_;
            return true;
        }
    }
    return false;
}

bool PtrList_C::first() {
    cursor_ = head_;
    return head_ != nullptr;
}

ListObject_C* PtrList_C::next() {
    if (!cursor_)
        return nullptr;
    ListObject_C* obj = cursor_->obj;
    cursor_ = cursor_->next;
    return obj;
}

ListObject_C* PtrList_C::at(int i) const {
    Node* n = head_;
    while (n && i-- > 0)
        n = n->next;
    return n ? n->obj : nullptr;
}

void PtrList_C::deleteAll() {
    while (head_) {
        Node* n = head_->next;
        delete head_->obj;
        delete head_;
        head_ = n;
    }
    cursor_ = nullptr;
    count_ = 0;
}
