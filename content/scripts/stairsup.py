# The stairs up from the catacombs come out in Renibister, north of the
# stairs down, facing away from them.
import eventAPI as api


def fireEvent(h):
    api.tickGame(h, 2)
    api.setExit(h, "maps/renibister.cfg", 26, 4, 0)
    return 0
