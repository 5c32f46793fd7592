# A shrine in the mossy hall of the catacombs: once a day it restores spell
# points, a bard's songs and a little health; the prayer takes five minutes.
import eventAPI as api

DAY = 5760   # ticks


def fireEvent(h):
    api.showPicture(h, "Campfire")
    api.playSpecAudio(h, "Shrine")
    key = api.optionInput(h, ["A small shrine glows in the moss. Candles burn before it though no one tends them."],
                          ["(P)ray", "(L)eave"], [ord('p'), ord('l')])
    if key == ord('p'):
        today = api.getGameTime(h) // DAY + 1
        if api.getTag(h, "ShrineDay") == today:
            text = "The candles flicker, but nothing more happens today."
        else:
            api.setTag(h, "ShrineDay", today)
            api.tickGame(h, 20)
            for i in range(api.getPartyCount(h)):
                api.modifySP(h, i, 10)
                api.modifyBP(h, i, 1)
                api.modifyHP(h, i, 5)
            text = "Warmth fills you: spell points, songs and health return."
        api.optionInput(h, [text], ["(SPACE) to Continue"], [32])
    api.stopSpecAudio(h)
    api.clearPicture(h)
    return 1
