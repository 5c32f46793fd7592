// Resting ('r' in the main view) and the time and place report ('/' and
// '?'): two small screens of the upper-right pane.
//
// Resting asks for up to two digits of hours, then lets the time pass in
// steps of the world variable "RestTick" ticks (1..20; ',' and '.' change it
// while resting), each step running the world's time checks as walking does
// (timed events and regeneration, random events and encounters, weather):
// an encounter breaks into the rest, and the rest goes on after it. ESC
// ends it early. When the whole party falls while resting, the rest stops
// after the Hall has taken the party in.
#pragma once
#include <string>

class GameClock_C;
class Interface_C;

class Rest_C {
public:
    enum State { CLOSED = 0, ASKING = 1, RESTING = 2, RESTED = 3 };
    static constexpr int MAX_REST_TICK = 20;
    static constexpr int TICKS_PER_HOUR = 240;

    // weatherOnly: each step checks only the weather (no events, no
    // encounters, no party checks).
    static void run(Interface_C* iface, bool weatherOnly);
    static void key(int sym);
    static void display();
    // One step of the rest, when resting.
    static void step();

    static int getState();
    static int getRemaining();
    static int getRestTick();
    // The hours typed so far.
    static const std::string& typed();

    // A stored "RestTick" as the rest uses it: 0 or less as 1, above 20 as 20.
    static int clampRestTick(int stored);
};


// "It is 9:30 in the morning, on day 6 of the month of Riuros, 152 years
// since the Fall."
std::string dateLine(const GameClock_C& clock);
// "in the morning" (before 12), "in the afternoon" (12-16), "in the
// evening" (17-20), "at night" (21-23).
const char* dayPeriod(unsigned hour);
// "%d:%02d:%02d remaining." of a number of ticks.
std::string remainingLine(int ticks);

// The rest screen of the 'r' key.
void rest(Interface_C* iface, bool weatherOnly);
// The time and place report: the date, the facing when outdoors, and with
// showSquare the party's square; SPACE closes it.
void timeReport(Interface_C* iface, bool showSquare);
