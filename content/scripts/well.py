# An old well with a rope ladder: a shortcut into the catacombs.
import eventAPI as api
import squares


def fireEvent(h):
    if squares.turnedOnly(h):
        return 1
    api.showPicture(h, "Well")
    key = api.optionInput(h, ["An old well. A rope ladder leads down into darkness; "
                              "you hear scratching far below. Climb down?"],
                          ["(Y)es", "(N)o"], [ord('y'), ord('n')])
    if key != ord('y'):
        return 1
    # Climbing takes a few minutes.
    api.tickGame(h, 12)
    api.setExit(h, "maps/catacombs.cfg", 14, 14, 180)
    return 0
