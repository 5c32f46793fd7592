# A stone sphinx with a riddle. The answer is typed; the square remembers in
# its own user flag (lFlagU) that the riddle was solved.
import eventAPI as api
from gamerandom import rand

RIDDLE = ["The stone sphinx speaks:",
          "'I speak without a mouth and hear without ears. "
          "I have no body, but I come alive with the wind. What am I?'",
          "(Type your answer and press RETURN.)"]


def fireEvent(h):
    if api.getTag(h, "lFlagU") == 1:
        api.optionInput(h, ["The sphinx is silent; its riddle is answered."], ["(SPACE) to Continue"], [32])
        return 1
    answer = api.stringInput(h, RIDDLE).strip().lower()
    if answer in ("echo", "an echo"):
        api.setTag(h, "lFlagU", 1)
        api.optionInput(h, ["'Echo... echo...' The sphinx's paw lifts from a bronze coffer."],
                        ["(SPACE) to Continue"], [32])
        api.chest(h, 0, 0, 40 + rand.randint(0, 20), ["Rope"], 0, "a small bronze coffer")
        return 1
    # A wrong answer: the sphinx's glare, which the wise resist.
    hurt = []
    for i in range(api.getPartyCount(h)):
        if api.savingThrow(h, "spells", i, 0) == 1:
            api.modifyHP(h, i, -2)
            hurt.append(i + 1)
    if hurt:
        text = "'Wrong.' The sphinx's glare burns members " + ", ".join(map(str, hurt)) + "."
    else:
        text = "'Wrong.' The sphinx glares, but you stand firm."
    api.optionInput(h, [text], ["(SPACE) to Continue"], [32])
    return 0   # the sphinx pushes you back to the street
