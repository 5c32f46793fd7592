// bl3dParty: the adventuring party, up to eight members in marching order,
// stored as "party.dat" (the member names) while each member's own record
// lives under its name in the archive's "hall" directory.
#pragma once
#include "core/Storable.h"

#include <cstdint>
#include <memory>
#include <string>

class bl3dMonsterType;
class bl3dPartyChar;

constexpr int MAX_PARTY = 8;

// Where the party keeps its members' own records (the save archive's "hall"
// directory during play).
class PartyHall_C {
public:
    virtual ~PartyHall_C() = default;
    // Stores the member's record under its name; false when it fails.
    virtual bool storeMember(const bl3dPartyChar& member) = 0;
    // The member stored under that name; null when absent or unreadable.
    virtual std::unique_ptr<bl3dPartyChar> loadMember(const char* name) = 0;
    // Whether a record of that name is kept, readable or not.
    // (By default: whether a record of that name can be read.)
    virtual bool hasEntry(const char* name);
};

class bl3dParty : public Storable_C {
public:
    explicit bl3dParty(const RefStr_C& name);
    ~bl3dParty() override;
    bl3dParty(const bl3dParty&) = delete;
    bl3dParty& operator=(const bl3dParty&) = delete;

    int typeId() const override { return TYPE_PARTY; }
    // Writes the names and stores every member in the hall. A monster is
    // never stored over an adventurer's record of its name (nor over one
    // that cannot be read): it is left out and the write reported failed.
    void write(MemStream_C& s) const override;
    // Reads the names and rebuilds the members from the hall; a name the
    // hall lacks is dropped and the members close up.
    bool read(int version, MemStream_C& s) override;
    static std::unique_ptr<Storable_C> create(const RefStr_C& name, int version, MemStream_C& s);

    // The hall used by write and read (not owned); null for none.
    static void setHall(PartyHall_C* hall);
    static PartyHall_C* getHall();
    // False when a member could not be stored during the last write; then
    // lastWriteError() says which and why.
    bool lastWriteOk() const { return writeOk_; }
    const std::string& lastWriteError() const { return writeError_; }

    int getCount() const { return count_; }
    bl3dPartyChar* getMember(int index) const;
    bool hasMember(const char* name) const;
    // The member of that stored name; null for none.
    bl3dPartyChar* findMember(const char* name) const;
    // Puts the member at the end (the party owns it then). Stored names stay
    // unique: a monster whose name is taken, or a monster that holds the
    // name an adventurer brings, is renamed "<name> 2", "<name> 3", ...; an
    // adventurer whose name another adventurer has is refused. False (and
    // nothing changed) when refused, when the party is full or the member is
    // in it already.
    bool addMember(bl3dPartyChar* member);
    // Puts a monster that comes into the party (joined, summoned or called)
    // at the end. Its record will be kept in the hall under its name, so a
    // name that a member or the hall holds already is first changed to the
    // first of "<name> 2", "<name> 3", ... that neither holds. False (and
    // nothing changed) when the party is full.
    bool addMonster(bl3dPartyChar* monster);
    // Whether a member was made from that monster type.
    bool hasMonsterOf(const bl3dMonsterType* type) const;
    void removeAt(int index);
    bl3dPartyChar* detachAt(int index);
    // Exchanges the members of places a and b (0..7) whatever the count;
    // false and nothing changed when either is out of 0..7 or a equals b.
    bool swap(int a, int b);
    int32_t averageStat(int stat) const;
    // The members standing (hit points above 0); whether anyone does.
    int livingCount() const;
    bool anyoneAlive() const { return livingCount() > 0; }
    // The members' levels added up (the random encounters weigh their
    // monsters against it), held within int32.
    int32_t levelSum() const;
    // The members' purses added up; eight purses together can hold more
    // than int32, so totalGold is that sum held within int32.
    int64_t goldSum() const;
    int32_t totalGold() const;
    // Hands n out: each member but the last n / count, the last the rest; a
    // share a purse has no room for goes to the others. Nothing for n < 0.
    void splitGold(int32_t n);
    // Pays n from the pool, then shares what is left out again as
    // splitGold does. False, and nothing paid, when the pool holds less.
    bool spendGold(int32_t n);

private:
    // splitGold for a 64-bit amount (what spendGold pools again).
    void spreadGold(int64_t n);
    // Stores the member's own record in the hall; why not, empty when it was.
    std::string storeInHall(const bl3dPartyChar& member) const;
    // A name that a member or the hall holds.
    bool nameTaken(const char* name) const;
    // "<base> 2", "<base> 3", ...: the first that neither a member nor the
    // hall has.
    std::string freeName(const char* base) const;

    bl3dPartyChar* members_[MAX_PARTY] = {};
    uint8_t count_ = 0;
    mutable bool writeOk_ = true;
    mutable std::string writeError_;
};

// The party of the quest in play; null when none is loaded.
extern bl3dParty* party;
