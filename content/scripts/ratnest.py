# The rats' nest: a scripted fight; the nest's chest once it is won; bites
# that may poison.
import eventAPI as api


def fireEvent(h):
    quest = api.getTag(h, "WardenQuest")
    if quest >= 2:
        api.optionInput(h, ["The nest is quiet now."], ["(SPACE) to Continue"], [32])
        return 1
    api.optionInput(h, ["Bones and rags fill a hollow in the wall: the rats' nest. "
                        "Their masters rise from it: wolves, and a giant spider behind them!"],
                    ["(SPACE) to Fight"], [32])
    # Two to four wolves at 10 feet, one spider at 30 feet.
    # 1 won, 2 fled, 3 the party fell.
    result = api.combat(h, [("Wolf", 2, 2, 10), ("Giant Spider", 1, 0, 30)])
    if result != 1:
        return 0   # back to the passage
    # Every survivor was bitten; a poison save keeps the venom out.
    for i in range(api.getPartyCount(h)):
        if api.savingThrow(h, "poison", i, 0) == 1:
            api.poison(h, i, 1, 3, 0, 20, 1, 240)
    api.setTag(h, "WardenQuest", 2)
    api.chest(h, 1, 2, 120, [], 2, "a rotten chest in the nest")
    api.optionInput(h, ["The nest is cleared. Back to the Warden!"], ["(SPACE) to Continue"], [32])
    return 1
