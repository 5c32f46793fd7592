# The deepest chest of the catacombs, in the far alcove: a hard lock and a
# poisonous gas. Once opened it stays empty, and its square quiet.
# The party stays on the chest's square: a passage it walks on through.
import eventAPI as api
import squares

TAG = "ChestAlcove"


def fireEvent(h):
    if api.getTag(h, TAG) != 0 or squares.turnedOnly(h):
        return 1
    if api.chest(h, 6, 60, 200, ["Ring of Warding", "Round Buckler"], 2, "a black lacquered chest") == 1:
        api.setTag(h, TAG, 1)
    return 1
