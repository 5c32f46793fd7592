# Any trap the party found and defused before it could spring.
import eventAPI as api


def fireEvent(h):
    api.optionInput(h, ["You found a trap and carefully defused it."], ["(SPACE) to Continue"], [32])
    return 1
