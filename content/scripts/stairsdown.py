# The stairs at the south-east corner of Renibister lead down into the
# catacombs; the party comes out beside the stairs up, facing away from them.
# They ask first: a party that stays steps back onto the street, facing
# away from them (the exit of their event line).
import eventAPI as api


def fireEvent(h):
    key = api.optionInput(h, ["Stone steps lead down under the town into the catacombs. Go down?"],
                          ["(Y)es", "(N)o"], [ord('y'), ord('n')])
    if key != ord('y'):
        return 0
    api.tickGame(h, 2)
    api.setExit(h, "maps/catacombs.cfg", 1, 2, 0)
    return 0
