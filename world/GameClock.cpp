#include "world/GameClock.h"

#include "core/MemStream.h"

namespace {
const char MONTH_NAMES[GameClock_C::MONTHS][15] = {
    "Samonios", "Dumannios", "Riuros", "Anagantios", "Ogronios", "Cutios", "Giamonios",
    "Simivisionios", "Equos", "Elembiuos", "Edrinios", "Cantlos", "Ruis",
};
} // namespace

void GameClock_C::write(MemStream_C& s) const
{
    s.writeUInt32(ticks_);
}

bool GameClock_C::read(MemStream_C& s)
{
    uint32_t t;
    if (!s.readUInt32(t))
        return false;
    ticks_ = t;
    return true;
}

unsigned GameClock_C::getYear() const
{
    return ticks_ / TICKS_PER_YEAR + 1;
}

unsigned GameClock_C::getMonth() const
{
    return (ticks_ % TICKS_PER_YEAR) / TICKS_PER_MONTH + 1;
}

unsigned GameClock_C::getDay() const
{
    return (ticks_ % TICKS_PER_YEAR % TICKS_PER_MONTH) / TICKS_PER_DAY + 1;
}

unsigned GameClock_C::getHour() const
{
    return (ticks_ % TICKS_PER_DAY) / TICKS_PER_HOUR;
}

unsigned GameClock_C::getMinute() const
{
    return (ticks_ % TICKS_PER_HOUR) / TICKS_PER_MINUTE;
}

unsigned GameClock_C::getSecond() const
{
    return 15 * (ticks_ % TICKS_PER_MINUTE);
}

const char* GameClock_C::monthName(unsigned month)
{
    if (month < 1 || month > static_cast<unsigned>(MONTHS))
        return "";
    return MONTH_NAMES[month - 1];
}

const char* GameClock_C::getMonthName() const
{
    return monthName(getMonth());
}

void GameClock_C::advance(int n, Interface_C*)
{
    if (n < 0)
        n = 0;
    if (static_cast<uint32_t>(n) > ticksLeft())
        n = static_cast<int>(ticksLeft());
    ticks_ += static_cast<uint32_t>(n);
    if (listener_)
        listener_->tickAction(n);
}
