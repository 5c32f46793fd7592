# The stairs at the south-east corner of Renibister lead down into the
# catacombs; the party comes out beside the stairs up, facing away from them.
import eventAPI as api


def fireEvent(h):
    api.tickGame(h, 2)
    api.setExit(h, "maps/catacombs.cfg", 1, 2, 0)
    return 0
