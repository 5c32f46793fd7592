# A chest in a niche of the catacombs' southern passages: a fair lock and
# spikes that leap out at a careless hand. Once opened it stays empty.
# The party stays on the chest's square: a passage it walks on through.
import eventAPI as api

TAG = "ChestNiche"


def fireEvent(h):
    if api.getTag(h, TAG) != 0:
        api.optionInput(h, ["The iron-bound chest in the niche is empty."], ["(SPACE) to Continue"], [32])
        return 1
    if api.chest(h, 1, 30, 80, ["Glass Dagger"], 2, "an iron-bound chest") == 1:
        api.setTag(h, TAG, 1)
    return 1
