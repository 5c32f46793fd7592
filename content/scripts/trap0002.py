# A needle on a tripwire: whoever misses the save against poison is poisoned
# for an hour.
import eventAPI as api


def fireEvent(h):
    for i in range(api.getPartyCount(h)):
        if api.savingThrow(h, "poison", i, 0) == 1:
            # 1d3 at every stride of 20 for a duration of 240.
            api.poison(h, i, 1, 3, 0, 20, 0, 240)
    api.optionInput(h, ["A needle snaps out of the wall! Its tip glistens with venom."],
                    ["(SPACE) to Continue"], [32])
    return 1
