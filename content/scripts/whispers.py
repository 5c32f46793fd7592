# A random event of the catacombs: distant whispers. Stopping to listen
# takes a few minutes and tells the party nothing it can use; the party
# stays where it is.
import eventAPI as api


def fireEvent(h):
    key = api.optionInput(h, ["Distant whispers drift through the dark, too faint to make out."],
                          ["(L)isten", "(W)alk on"], [ord('l'), ord('w')])
    if key == ord('l'):
        api.tickGame(h, 8)
        api.optionInput(h, ["You hold your breath and listen. The whispers fall silent; "
                            "somewhere far off, claws scratch at stone."],
                        ["(SPACE) to Continue"], [32])
    return 1
