// EventQueue_C: the world's timed events, in order of the tick at which they
// are due; events due at the same tick keep the order they were queued in.
// The queue owns its events. Saved by type id only: a loaded event rebuilds
// its state from the world when it runs.
#pragma once
#include <cstdint>

class Event_C;
class GameClock_C;
class Interface_C;
class MemStream_C;

struct QueueNode_S {
    uint32_t due = 0;
    int32_t serial = 0;
    Event_C* event = nullptr; // owned
    QueueNode_S* next = nullptr;
};

class EventQueue_C {
public:
    // "Now" is the clock's tick count; without a clock it is 0.
    explicit EventQueue_C(const GameClock_C* clock = nullptr) : clock_(clock) {}
    ~EventQueue_C();
    EventQueue_C(const EventQueue_C&) = delete;
    EventQueue_C& operator=(const EventQueue_C&) = delete;

    void setClock(const GameClock_C* clock) { clock_ = clock; }
    uint32_t now() const;

    // Takes the event and returns its serial (from 1 up), or 0 when the due
    // tick lies before now (unsigned compare): the event then stays the
    // caller's. A null event is refused the same way.
    int32_t enqueue(uint32_t dueTick, Event_C* event);

    // Runs the head event when it is due: the node is unlinked first, so the
    // event may queue, remove or clear entries, or advance the clock, without
    // touching itself; it is deleted after it returns. False when the queue
    // is empty or the head is not yet due.
    bool popDue(Interface_C* iface);

    // Unlinks the entry of that serial and hands its event back (not
    // deleted); null when no entry has the serial.
    Event_C* remove(int32_t serial);

    // Deletes every entry and its event.
    void clear();

    // next serial, count, then per entry due tick, serial, type id.
    void write(MemStream_C& s) const;
    // Replaces the queue with the stored one. Entries of unknown type ids
    // are reported and dropped. False, with the queue left empty, when the
    // bytes end early or the count cannot be right.
    bool read(MemStream_C& s);

    int count() const;
    bool empty() const { return head_ == nullptr; }
    const QueueNode_S* head() const { return head_; }
    int32_t getNextSerial() const { return nextSerial_; }

private:
    int32_t issueSerial();
    // After every node due at or before it.
    void insertNode(QueueNode_S* node);

    const GameClock_C* clock_;
    QueueNode_S* head_ = nullptr;
    int32_t nextSerial_ = 0;
};
