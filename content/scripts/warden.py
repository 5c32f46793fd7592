# The Warden by the fountain: gives the quest of the rats and rewards it.
# WardenQuest (a world tag): 0 not asked, 1 accepted, 2 rats slain while the
# quest was taken, 3 done (rewarded; or thanked, when the party cleared the
# nest before he asked). The nest keeps its own state in RatNest
# (ratnest.py).
import eventAPI as api
import squares

YES, NO = ord('y'), ord('n')
DONE = 3


def greeting(h):
    # One tick is 15 seconds: 240 ticks an hour, 5760 a day.
    hour = api.getGameTime(h) // 240 % 24
    if hour < 12:
        return "Good morning"
    if hour < 18:
        return "Good day"
    return "Good evening"


def standing(h, i):
    """An adventurer of the party (not a monster that joined) who is alive.
    (A change of 0 hit points changes nothing and tells whether any are left.)"""
    return api.isPC(h, i) and api.modifyHP(h, i, 0)


def offer(h):
    key = api.optionInput(h, [greeting(h) + ", travellers. I am the Warden of Renibister.",
                              "Rats the size of dogs have taken the catacombs under the town. "
                              "Will you clear their nest, in the east of the catacombs?"],
                          ["(Y)es", "(N)o"], [YES, NO])
    if key == YES:
        api.setTag(h, "WardenQuest", 1)
        squares.say(h, "Take this letter; it tells the way. The stairs down are in the south-east corner of town.")
        api.giveItems(h, ["Sealed Letter"])
    else:
        squares.say(h, "Then may the rats not find your cellar first.")


def thank(h):
    squares.say(h, greeting(h) + ", travellers. I am the Warden of Renibister.",
                "Word has come up from the catacombs that the rats' nest is empty. "
                "If that was your doing, Renibister thanks you.")
    api.setTag(h, "WardenQuest", DONE)


def reward(h):
    squares.say(h, "You have done it! Renibister thanks you. Look into the fountain with me...")
    api.clearPicture(h)
    api.callEvent(h, 8000, ["pics/movies/vision.mpg"])
    # The letter goes back to the Warden, from whoever carries it.
    for i in range(api.getPartyCount(h)):
        if api.hasItem(h, i, "Sealed Letter"):
            api.removeItem(h, i, "Sealed Letter")
    # Experience for every living adventurer, and a purse for the first.
    living = [i for i in range(api.getPartyCount(h)) if standing(h, i)]
    for i in living:
        api.modifyXP(h, i, 250)
    if living:
        api.modifyGold(h, living[0], 200)
    api.setTag(h, "WardenQuest", DONE)
    squares.say(h, "Each of you still standing gains 250 experience, and here are 200 gold pieces.")


def fireEvent(h):
    quest = api.getTag(h, "WardenQuest")
    if quest >= DONE or squares.turnedOnly(h):
        return 1
    api.showPicture(h, "Fountain")
    if quest == 0 and api.getTag(h, "RatNest") != 0:
        thank(h)
    elif quest == 0:
        offer(h)
    elif quest == 1:
        squares.say(h, "The rats still gnaw at our foundations. Their nest is in the east of the catacombs.")
    else:
        reward(h)
    return 1
