# A stone sphinx with a riddle. The answer is typed; the square remembers in
# its own user flag (lFlagU): 0 the riddle stands, 2 answered with the coffer
# still shut, 1 the coffer opened (the sphinx is done).
import eventAPI as api
import squares
from gamerandom import rand

RIDDLE_STANDS, DONE, ANSWERED = 0, 1, 2

RIDDLE = ["The stone sphinx speaks:",
          "'I speak without a mouth and hear without ears. "
          "I have no body, but I come alive with the wind. What am I?'",
          "(Type your answer and press RETURN.)"]


def glare(h):
    """A wrong answer: the sphinx's glare, which the wise resist."""
    hurt = []
    for i in range(api.getPartyCount(h)):
        if api.savingThrow(h, "spells", i, 0) == 1:
            api.modifyHP(h, i, -2)
            hurt.append(i + 1)
    if hurt:
        squares.say(h, "'Wrong.' The sphinx's glare burns members " + ", ".join(map(str, hurt)) + ".")
    else:
        squares.say(h, "'Wrong.' The sphinx glares, but you stand firm.")


def fireEvent(h):
    riddle = api.getTag(h, "lFlagU")
    if riddle == DONE or squares.turnedOnly(h):
        return 1
    api.showPicture(h, "Sphinx")
    if riddle != ANSWERED:
        answer = api.stringInput(h, RIDDLE).strip().lower()
        if answer not in ("echo", "an echo"):
            glare(h)
            return 0   # the sphinx pushes you back to the street
        api.setTag(h, "lFlagU", ANSWERED)
        squares.say(h, "'Echo... echo...' The sphinx's paw lifts from a bronze coffer.")
    # 1 opened, 2 left shut: the coffer waits for the party's return.
    if api.chest(h, 0, 0, 40 + rand.randint(0, 20), ["Rope"], 0, "a small bronze coffer") == 1:
        api.setTag(h, "lFlagU", DONE)
    return 1
