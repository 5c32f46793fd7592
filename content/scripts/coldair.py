# A random event of the catacombs: a draught of cold air from somewhere
# deeper down. It only chills; the party stays where it is.
import eventAPI as api


def fireEvent(h):
    api.optionInput(h, ["A draught of cold air sweeps along the passage from somewhere deeper down. "
                        "The torches gutter, and for a moment you smell wet earth and old bones."],
                    ["(SPACE) to Continue"], [32])
    return 1
