# A pit opens under the party: the nimble jump clear, the others fall for a
# few hit points.
import eventAPI as api
from gamerandom import rand


def fireEvent(h):
    hurt = 0
    for i in range(api.getPartyCount(h)):
        if api.savingThrow(h, "dex", i, 0) == 1:
            api.modifyHP(h, i, -rand.randint(1, 6))
            hurt += 1
    text = "The floor gives way: a pit!"
    text += " Some of you fall in and are hurt." if hurt else " Everyone jumps clear."
    api.optionInput(h, [text], ["(SPACE) to Continue"], [32])
    return 1
