# The Sealed Letter (item 71, "use plot 3"): reading it. The Warden gives it
# saying that it tells the way, and so it does, whenever it is read.
import eventAPI as api
import squares

LETTER = ("'Bearer acts for the Warden of Renibister. The stairs down stand by the wall in the south-east "
          "corner of the town. Below, follow the passage north to its end, then east, and south into the "
          "mossy hall; a shrine at the hall's west end restores the faithful. The hall's east end is a wall "
          "that is none: walk on through it into a vault of pillars and leave the vault southward. The rats "
          "nest a step east of that passage.'")


def fireEvent(h):
    squares.say(h, "You break the seal and read:", LETTER)
    return 1
