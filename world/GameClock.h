// GameClock_C: the game time of a world. One tick is 15 game seconds; the
// calendar (13 months of 28 days a year) is computed from the tick count
// alone. One listener is told whenever time passes.
#pragma once
#include <cstdint>

class MemStream_C;
class Interface_C;

// Whoever must act when game time passes (the main interface during play).
class TickListener_C {
public:
    virtual ~TickListener_C() = default;
    virtual void tickAction(int ticks) = 0;
};

class GameClock_C {
public:
    static constexpr uint32_t START_TICKS = 0x12e43768; // year 152, Riuros 6, 9:30
    static constexpr uint32_t TICKS_PER_MINUTE = 4;
    static constexpr uint32_t TICKS_PER_HOUR = 240;
    static constexpr uint32_t TICKS_PER_DAY = 5760;
    static constexpr uint32_t TICKS_PER_MONTH = 161280;
    static constexpr uint32_t TICKS_PER_YEAR = 2096640;
    static constexpr int MONTHS = 13;
    // The clock's last tick: the end of year 2048, the last whole year that
    // the 32-bit count holds (the next midnight and the next hour after it
    // still fit). Time stops there instead of wrapping to year 1, where the
    // timed events queued for later would never come due again.
    static constexpr uint32_t MAX_TICKS = 2048 * TICKS_PER_YEAR - 1;

    GameClock_C() = default;
    virtual ~GameClock_C() = default;

    // The tick count as 4 bytes, little-endian.
    virtual void write(MemStream_C& s) const;
    // False (ticks unchanged) when the stream ends early.
    virtual bool read(MemStream_C& s);

    uint32_t getTicks() const { return ticks_; }
    void setTicks(uint32_t t) { ticks_ = t; }

    unsigned getYear() const;   // from 1
    unsigned getMonth() const;  // 1..13
    unsigned getDay() const;    // 1..28
    unsigned getHour() const;   // 0..23
    unsigned getMinute() const; // 0..59
    unsigned getSecond() const; // 0, 15, 30 or 45
    const char* getMonthName() const;
    static const char* monthName(unsigned month); // 1..13; "" otherwise

    // Ticks the clock may still move on (up to MAX_TICKS).
    uint32_t ticksLeft() const { return ticks_ < MAX_TICKS ? MAX_TICKS - ticks_ : 0; }

    // Moves time on by n ticks, then tells the listener once with the whole
    // n. Time never goes back, nor past MAX_TICKS: n is brought within
    // 0 .. ticksLeft() first. The interface argument is accepted for callers
    // that pass it; it is not used.
    void advance(int n, Interface_C* unused = nullptr);

    void setListener(TickListener_C* l) { listener_ = l; }
    TickListener_C* getListener() const { return listener_; }

private:
    uint32_t ticks_ = START_TICKS;
    TickListener_C* listener_ = nullptr;
};
