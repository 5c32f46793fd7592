# A chest in the crypt by the stairs of the catacombs: an easy lock and a
# dart trap. Once opened it stays empty, and its square quiet.
# The party stays on the chest's square: a passage it walks on through.
import eventAPI as api
import squares

TAG = "ChestCrypt"


def fireEvent(h):
    if api.getTag(h, TAG) != 0 or squares.turnedOnly(h):
        return 1
    # 1 opened, 2 left unopened.
    if api.chest(h, 3, 10, 45, ["Iron Cap"], 1, "a mouldering chest") == 1:
        api.setTag(h, TAG, 1)
    return 1
