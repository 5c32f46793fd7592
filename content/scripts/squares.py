# What the story's squares share (a helper module: it has no fireEvent).
#
# A square's script runs whenever the party steps onto the square, waits on
# it, turns on it, and when the quest comes back from the title menu. A
# square says its piece when the party arrives; a turn on it is only a turn,
# and a square whose story is done says nothing at all, so that neither
# eats the keys the player meant for walking on.
import eventAPI as api

SPACE = 32


def turnedOnly(h):
    """The party only turned on the square (the system word's entry byte
    holds 1 for a square entered, 2 for a turn)."""
    return (api.getTag(h, "lFlagS") >> 8) & 0x03 == 0x02


def say(h, *texts):
    """Texts to read, and SPACE to go on."""
    api.optionInput(h, list(texts), ["(SPACE) to Continue"], [SPACE])
