# The Sealed Letter (item 71, "use plot 3"): reading it.
import eventAPI as api


def fireEvent(h):
    if api.getTag(h, "WardenQuest") >= 2:
        text = "The letter is yours no longer to read: the rats are slain. Bring it back to the Warden."
    else:
        text = ("'Bearer acts for the Warden of Renibister. The rats nest in the east of the catacombs, "
                "past the mossy hall. A shrine in the hall restores the faithful.'")
    api.optionInput(h, ["You break the seal and read:", text], ["(SPACE) to Continue"], [32])
    return 1
