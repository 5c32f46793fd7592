# The stairs up from the catacombs come out in Renibister, north of the
# stairs down, facing away from them. They ask first: a party that stays
# steps back into the passage, facing away from them (the exit of their
# event line).
import eventAPI as api


def fireEvent(h):
    key = api.optionInput(h, ["The stairs lead up into the town. Go up?"],
                          ["(Y)es", "(N)o"], [ord('y'), ord('n')])
    if key != ord('y'):
        return 0
    api.tickGame(h, 2)
    api.setExit(h, "maps/renibister.cfg", 26, 4, 0)
    return 0
