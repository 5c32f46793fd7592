# A shrine in the mossy hall of the catacombs: once a day it restores spell
# points, a bard's songs and a little health; the prayer takes five minutes.
# ShrineDay (a world tag): the day of the last prayer (days counted from 1);
# on that day the shrine is quiet.
import eventAPI as api
import squares

DAY = 5760   # ticks


def fireEvent(h):
    today = api.getGameTime(h) // DAY + 1
    if api.getTag(h, "ShrineDay") == today or squares.turnedOnly(h):
        return 1
    api.showPicture(h, "Shrine")
    api.playSpecAudio(h, "Shrine")
    key = api.optionInput(h, ["A small shrine glows in the moss. Candles burn before it though no one tends them."],
                          ["(P)ray", "(L)eave"], [ord('p'), ord('l')])
    if key == ord('p'):
        api.setTag(h, "ShrineDay", today)
        api.tickGame(h, 20)
        for i in range(api.getPartyCount(h)):
            api.modifySP(h, i, 10)
            api.modifyBP(h, i, 1)
            api.modifyHP(h, i, 5)
        squares.say(h, "Warmth fills you: spell points, songs and health return.")
    api.stopSpecAudio(h)
    api.clearPicture(h)
    return 1
