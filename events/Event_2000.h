// Event_2000_C: a square (or a trap, or a plot item) whose behaviour is a
// Python script in data/scripts. The script module defines fireEvent(handle)
// and talks to the game only through the eventAPI module, passing the
// handle back; each eventAPI method is served by an operation of this class.
//
// Life cycle: the constructor imports the module (cached by Python after the
// first import) and keeps its fireEvent; an event whose module or fireEvent
// is missing is "not ready" and never moves the party. Each invoke is one
// run: the square's flags are read, fireEvent runs (the script may ask for
// input any number of times, each a modal loop of its own), and the result
// decides where the party goes:
//   1, or a script error, or not ready  -> the party stays;
//   anything else (0, None, 2, ...)     -> the party goes to the exit.
// Then the flags are stored, dead joined monsters leave, and a party with
// nobody alive is carried to the town's Hall of Adventurers.
//
// While the script runs (its import too), the quit event still ends the
// game: events/ScriptWatch.h stops the script, and the run ends as after a
// script error.
//
// Handles: a small integer given out at construction. The eventAPI methods
// look it up in the table of running events (runs nest: tickGame can start
// another square's script); a handle of no running event is refused.
// Python objects held by events are released by releaseAllScripts() before
// the interpreter is finalized, whatever else is still alive then.
#pragma once
#include "world/Event.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef struct _object PyObject;
class Map_C;
class ScrollPane_C;

class Event_2000_C : public Event_C {
public:
    explicit Event_2000_C(const EventParams_S* params);
    ~Event_2000_C() override;


    int typeId() const override { return EVENT_SCRIPT; }
    int invoke(Interface_C* iface) override;

    bool isReady() const override { return ready_; }
    int handle() const { return handle_; }
    const std::string& scriptName() const { return scriptName_; }

    // The running event of a handle; null when no run of it is going on.
    static Event_2000_C* running(long handle);
    // Lets go of every Python object that live events hold (before
    // Py_FinalizeEx); those events are not ready from then on.
    static void releaseAllScripts();

    // --- the run ---------------------------------------------------------------
    // -999 not ready, -1000 the script raised, else fireEvent's integer
    // result (-1 for a result that is not an integer).
    int callFireEvent();
    int endEvent(int result);

    // --- screen and input --------------------------------------------------------
    bool showPicture(const char* nickname);
    void clearPicture();
    bool playSpecAudio(const char* name);
    void stopSpecAudio();
    // keys not empty, labels as many as keys and no more than
    // maxOptionLabels (checked by the caller).
    int optionInput(const std::vector<std::string>& texts, const std::vector<std::string>& labels,
                    const std::vector<int>& keys);
    const char* stringInput(const std::vector<std::string>& texts);
    // The most option lines that fit in the text pane with one line of text
    // above them (and the blank line between).
    int maxOptionLabels() const;
    // The typed line as the pane shows it: "? ", the answer and its cursor;
    // an answer too wide for the pane shows its end, where the typing is.
    std::string inputLine() const;
    void display();
    void key(int sym, int modifiers);

    // --- tags and time -------------------------------------------------------------
    int setTag(const char* name, int32_t value);
    int32_t getTag(const char* name) const;
    int tick(int ticks);
    // x, y and facing change only when 0 or more. The exit that results
    // must be a square the party can stand on (on that map) and a facing of
    // 0, 90, 180 or 270: else false, nothing changed, and the reason in
    // `why`.
    bool setExit(const char* map, int x, int y, int facing, std::string* why = nullptr);

    // --- party (index checked by the caller) ------------------------------------
    bool isPC(int index) const;
    bool hasItem(int index, const char* name) const;
    bool removeItem(int index, const char* name);
    bool modifyXP(int index, int amount);
    bool modifyHP(int index, int amount);
    bool modifySP(int index, int amount, bool force);
    bool modifyBP(int index, int amount, bool force);
    bool modifyGold(int index, int amount, bool takeAll);
    // 1 failed, 0 made, -1 unknown kind.
    int savingThrow(const char* kind, int index, int bonus);
    void poison(int index, int diceCount, int diceSides, int bonus, int tickStride, bool allowSave,
                int duration);

    // --- events started by the script ---------------------------------------------
    int combat();
    // -(i + 100) for the i-th name that names no item type.
    int chest(int trap, int lock, int gold, const std::vector<std::string>& names, int randomCount,
              const char* description);
    // False for a type that names no event, and for a building whose exit
    // (as given, else this event's own) is no square of the current map
    // that the party can stand on, or no facing: then with the reason in
    // `why`, and nothing runs.
    bool callEvent(int type, const std::vector<std::string>& args, std::string* why = nullptr);

    // What the last input ended with (tests).
    int chosenKey() const { return chosenKey_; }
    int exitX() const { return exitX_; }
    int exitY() const { return exitY_; }
    int exitFacing() const { return exitFacing_; }
    const std::string& exitMap() const { return exitMap_; }

private:
    void importScript();
    void releaseScript();
    void inputLoop();
    void newTextPane(const std::vector<std::string>& texts, int bottomLine);
    void squareKey(char* out, size_t size, char kind) const;
    void storeFlag(char kind, int32_t value);
    void removeDeadMonsters();
    // Whether the party may be put on (x, y) facing `facing` of the map of
    // that file (the current map when empty); false with the reason.
    bool exitUsable(const std::string& map, int x, int y, int facing, std::string* why) const;
    void carryToHall();

    Interface_C* iface_ = nullptr;
    Map_C* map_ = nullptr;
    std::unique_ptr<ScrollPane_C> textPane_;
    std::string picture_;
    int32_t lFlagU_ = 0;
    int32_t lFlagS_ = 0;
    int32_t squareX_ = 0, squareY_ = 0;
    int32_t combatResult_ = 0;
    int32_t chestResult_ = 0;
    int32_t exitX_ = 0, exitY_ = 0, exitFacing_ = 0;
    std::string exitMap_;
    int32_t baseExitX_ = 0, baseExitY_ = 0, baseExitFacing_ = 0;
    std::string input_;   // typed line; the cursor '_' follows it while typing
    std::string scriptName_;
    bool audioActive_ = false;
    std::string audioName_;
    bool ready_ = false;
    PyObject* fireEvent_ = nullptr;   // owned reference
    PyObject* args_ = nullptr;        // owned (handle,)
    int handle_ = 0;
    int runDepth_ = 0;
    // The request of the input now running.
    const std::vector<std::string>* labels_ = nullptr;
    const std::vector<int>* keys_ = nullptr;
    int chosenKey_ = -1;
    int inputMode_ = 0;   // 0 none, 1 options, 2 typed line
    int looping_ = 0;
    bool drawn_ = false;
};
