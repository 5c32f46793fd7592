# The rats' nest: a scripted fight; the nest's chest once it is won; bites
# that may poison.
# RatNest (a world tag): 0 the nest stands, 1 its beasts are slain and its
# chest is still shut, 2 the chest was opened. The nest moves the Warden's
# quest on (WardenQuest 1 -> 2) only when he gave it.
import eventAPI as api
import squares

STANDING, WON, DONE = 0, 1, 2


def nestState(h):
    nest = api.getTag(h, "RatNest")
    # A quest saved before the nest kept its own state: the Warden's quest
    # past the nest means the nest was won and its chest shown.
    if nest == STANDING and api.getTag(h, "WardenQuest") >= 2:
        return DONE
    return nest


def fight(h):
    """The nest's beasts; True when the party won."""
    squares.say(h, "Bones and rags fill a hollow in the wall: the rats' nest. "
                   "Their masters rise from it: wolves, and a giant spider behind them!")
    # Two to four wolves at 10 feet, one spider at 30 feet.
    # 1 won, 2 fled, 3 the party fell.
    if api.combat(h, [("Wolf", 2, 2, 10), ("Giant Spider", 1, 0, 30)]) != 1:
        return False
    # Every survivor was bitten; a poison save keeps the venom out.
    for i in range(api.getPartyCount(h)):
        if api.savingThrow(h, "poison", i, 0) == 1:
            api.poison(h, i, 1, 3, 0, 20, 1, 240)
    api.setTag(h, "RatNest", WON)
    if api.getTag(h, "WardenQuest") == 1:
        api.setTag(h, "WardenQuest", 2)
    return True


def fireEvent(h):
    nest = nestState(h)
    if nest == DONE or squares.turnedOnly(h):
        return 1
    if nest == STANDING and not fight(h):
        return 0   # back to the passage
    # 1 opened, 2 left shut: the chest waits for the party's return.
    if api.chest(h, 1, 2, 120, [], 2, "a rotten chest in the nest") == 1:
        api.setTag(h, "RatNest", DONE)
    if nest == STANDING:
        if api.getTag(h, "WardenQuest") == 2:
            squares.say(h, "The nest is cleared. Back to the Warden!")
        else:
            squares.say(h, "The nest is cleared.")
    return 1
