#include "world/EventQueue.h"

#include "core/Log.h"
#include "core/MemStream.h"
#include "world/Event.h"
#include "world/GameClock.h"

#include <cstdio>
#include <memory>

namespace {
// due tick, serial, type id
constexpr uint32_t STORED_ENTRY_BYTES = 12;
} // namespace

EventQueue_C::~EventQueue_C()
{
    clear();
}

uint32_t EventQueue_C::now() const
{
    return clock_ ? clock_->getTicks() : 0;
}

int32_t EventQueue_C::issueSerial()
{
    // Wraps like a 32-bit counter; after -1 comes 1, never 0 ("refused").
    nextSerial_ = nextSerial_ == -1 ? 1 : static_cast<int32_t>(static_cast<uint32_t>(nextSerial_) + 1);
    return nextSerial_;
}

void EventQueue_C::insertNode(QueueNode_S* node)
{
    QueueNode_S** link = &head_;
    while (*link && (*link)->due <= node->due)
        link = &(*link)->next;
    node->next = *link;
    *link = node;
}

int32_t EventQueue_C::enqueue(uint32_t dueTick, Event_C* event)
{
    if (!event || dueTick < now())
        return 0;
    auto* node = new QueueNode_S;
    node->due = dueTick;
    node->serial = issueSerial();
    node->event = event;
    insertNode(node);
    return node->serial;
}

bool EventQueue_C::popDue(Interface_C* iface)
{
    if (!head_ || now() < head_->due)
        return false;
    QueueNode_S* node = head_;
    head_ = node->next;
    std::unique_ptr<Event_C> event(node->event);
    delete node;
    VELL_LOG(1, "About to pop event %d", event->typeId());
    event->invoke(iface);
    return true;
}

Event_C* EventQueue_C::remove(int32_t serial)
{
    for (QueueNode_S** link = &head_; *link; link = &(*link)->next) {
        if ((*link)->serial == serial) {
            QueueNode_S* node = *link;
            *link = node->next;
            Event_C* event = node->event;
            delete node;
            return event;
        }
    }
    return nullptr;
}

void EventQueue_C::clear()
{
    // Unlink everything first: an event's destructor may look at the queue.
    QueueNode_S* node = head_;
    head_ = nullptr;
    while (node) {
        QueueNode_S* next = node->next;
        delete node->event;
        delete node;
        node = next;
    }
}

int EventQueue_C::count() const
{
    int n = 0;
    for (const QueueNode_S* node = head_; node; node = node->next)
        ++n;
    return n;
}

void EventQueue_C::write(MemStream_C& s) const
{
    s.writeInt32(nextSerial_);
    s.writeInt32(count());
    for (const QueueNode_S* node = head_; node; node = node->next) {
        s.writeUInt32(node->due);
        s.writeInt32(node->serial);
        s.writeInt32(node->event->typeId());
    }
}

bool EventQueue_C::read(MemStream_C& s)
{
    clear();
    int32_t serial = 0;
    int32_t n = 0;
    if (!s.readInt32(serial) || !s.readInt32(n))
        return false;
    if (n < 0 || static_cast<uint32_t>(n) > s.remaining() / STORED_ENTRY_BYTES)
        return false;
    nextSerial_ = serial;

    for (int32_t i = 0; i < n; ++i) {
        uint32_t due = 0;
        int32_t entrySerial = 0;
        int32_t type = 0;
        if (!s.readUInt32(due) || !s.readInt32(entrySerial) || !s.readInt32(type)) {
            clear();
            return false;
        }
        std::unique_ptr<Event_C> event = createTimedEvent(type);
        if (!event) {
            std::fprintf(stderr, "ERROR! eventID == %d!\n", type);
            continue;
        }
        auto* node = new QueueNode_S;
        node->due = due;
        node->serial = entrySerial;
        node->event = event.release();
        insertNode(node); // stored in due order, so this appends
    }
    return true;
}
