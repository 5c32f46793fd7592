# The Warden by the fountain: gives the quest of the rats and rewards it.
# WardenQuest (a world tag): 0 not asked, 1 accepted, 2 rats slain, 3 rewarded.
import eventAPI as api

SPACE, YES, NO = 32, ord('y'), ord('n')


def greeting(h):
    # One tick is 15 seconds: 240 ticks an hour, 5760 a day.
    hour = api.getGameTime(h) // 240 % 24
    if hour < 12:
        return "Good morning"
    if hour < 18:
        return "Good day"
    return "Good evening"


def say(h, text):
    api.optionInput(h, [text], ["(SPACE) to Continue"], [SPACE])


def fireEvent(h):
    api.showPicture(h, "Fountain")
    quest = api.getTag(h, "WardenQuest")
    if quest == 0:
        key = api.optionInput(h, [greeting(h) + ", travellers. I am the Warden of Renibister.",
                                  "Rats the size of dogs have taken the catacombs under the town. "
                                  "Will you clear their nest, in the east of the catacombs?"],
                              ["(Y)es", "(N)o"], [YES, NO])
        if key == YES:
            api.setTag(h, "WardenQuest", 1)
            say(h, "Take this letter; it tells the way. The stairs down are in the south-east corner of town.")
            api.giveItems(h, ["Sealed Letter"])
        else:
            say(h, "Then may the rats not find your cellar first.")
    elif quest == 1:
        say(h, "The rats still gnaw at our foundations. Their nest is in the east of the catacombs.")
    elif quest == 2:
        say(h, "You have done it! Renibister thanks you. Look into the fountain with me...")
        api.clearPicture(h)
        api.callEvent(h, 8000, ["pics/movies/vision.mpg"])
        # The letter goes back to the Warden, from whoever carries it.
        for i in range(api.getPartyCount(h)):
            if api.hasItem(h, i, "Sealed Letter"):
                api.removeItem(h, i, "Sealed Letter")
        # Experience for every adventurer (not for monsters that joined),
        # and a purse for the first.
        for i in range(api.getPartyCount(h)):
            if api.isPC(h, i):
                api.modifyXP(h, i, 250)
        api.modifyGold(h, 0, 200)
        api.setTag(h, "WardenQuest", 3)
        say(h, "Each of you gains 250 experience, and here are 200 gold pieces.")
    else:
        say(h, greeting(h) + ", friends of Renibister.")
    return 1
