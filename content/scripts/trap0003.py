# A block drops from the ceiling onto the first in line, who may dodge it.
import eventAPI as api
from gamerandom import rand


def fireEvent(h):
    if api.getPartyCount(h) < 1:
        return 1
    if api.savingThrow(h, "dex", 0, 0) == 1:
        api.modifyHP(h, 0, -rand.randint(2, 8))
        text = "A stone block drops from the ceiling and strikes the leader!"
    else:
        text = "A stone block drops from the ceiling; the leader dodges it."
    api.optionInput(h, [text], ["(SPACE) to Continue"], [32])
    return 1
