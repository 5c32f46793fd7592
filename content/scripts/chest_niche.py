# A chest in a niche of the catacombs' southern passages: a fair lock and
# spikes that leap out at a careless hand. Once opened it stays empty, and
# its square quiet.
# The party stays on the chest's square: a passage it walks on through.
import eventAPI as api
import squares

TAG = "ChestNiche"


def fireEvent(h):
    if api.getTag(h, TAG) != 0 or squares.turnedOnly(h):
        return 1
    if api.chest(h, 1, 30, 80, ["Glass Dagger"], 2, "an iron-bound chest") == 1:
        api.setTag(h, TAG, 1)
    return 1
