#include "rules/Party.h"

#include "core/MemStream.h"
#include "rules/PartyChar.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

bl3dParty* party = nullptr;

namespace {
PartyHall_C* hall = nullptr;

// A joined or summoned monster, as opposed to an adventurer of the hall.
bool isMonster(const bl3dPartyChar& m) {
    return m.getRace() == RACE_MONSTER || (m.getClassId() & (CLASS_JOINED | CLASS_SUMMONED)) != 0;
}
} // namespace

bool PartyHall_C::hasEntry(const char* name) { return loadMember(name) != nullptr; }

void bl3dParty::setHall(PartyHall_C* h) { hall = h; }
PartyHall_C* bl3dParty::getHall() { return hall; }

bl3dParty::bl3dParty(const RefStr_C& name) : Storable_C(name) {}

bl3dParty::~bl3dParty() {
    while (count_ > 0)
        removeAt(0);
}

bl3dPartyChar* bl3dParty::getMember(int index) const {
    return (index >= 0 && index < MAX_PARTY) ? members_[index] : nullptr;
}

bool bl3dParty::hasMember(const char* name) const { return findMember(name) != nullptr; }

bl3dPartyChar* bl3dParty::findMember(const char* name) const {
    if (!name)
        return nullptr;
    for (int i = 0; i < count_; ++i)
        if (members_[i] && std::strcmp(members_[i]->getName(), name) == 0)
            return members_[i];
    return nullptr;
}

bool bl3dParty::nameTaken(const char* name) const { return hasMember(name) || (hall && hall->hasEntry(name)); }

std::string bl3dParty::freeName(const char* base) const {
    // A hall could answer that it holds every name: the search ends, and the
    // save then refuses what would still clash.
    constexpr int kLastTried = 100000;
    std::string name;
    for (int n = 2; n <= kLastTried; ++n) {
        name = std::string(base) + " " + std::to_string(n);
        if (!nameTaken(name.c_str()))
            break;
    }
    return name;
}

bool bl3dParty::addMember(bl3dPartyChar* member) {
    if (!member || count_ >= MAX_PARTY)
        return false;
    // Members are stored by name, so two of one name would come back as one.
    // A monster gives way (it is named after its kind; its kind is stored
    // apart); two adventurers of one name cannot both join.
    if (bl3dPartyChar* same = findMember(member->getName())) {
        if (same == member)
            return false;
        bl3dPartyChar* renamed = isMonster(*member) ? member : isMonster(*same) ? same : nullptr;
        if (!renamed)
            return false;
        renamed->setNameStr(freeName(renamed->getName()).c_str());
    }
    members_[count_++] = member;
    return true;
}

bool bl3dParty::addMonster(bl3dPartyChar* monster) {
    if (!monster || count_ >= MAX_PARTY || findMember(monster->getName()) == monster)
        return false;
    // Its record goes to the hall under its name at the next save: a name
    // an adventurer resting there holds would lose the adventurer.
    if (nameTaken(monster->getName()))
        monster->setNameStr(freeName(monster->getName()).c_str());
    return addMember(monster);
}

bool bl3dParty::hasMonsterOf(const bl3dMonsterType* type) const {
    for (int i = 0; type && i < count_; ++i)
        if (members_[i] && members_[i]->getMonsterType() == type)
            return true;
    return false;
}

bl3dPartyChar* bl3dParty::detachAt(int index) {
    if (index < 0 || index >= MAX_PARTY || index >= count_)
        return nullptr;
    bl3dPartyChar* m = members_[index];
    for (int i = index; i < MAX_PARTY - 1; ++i)
        members_[i] = members_[i + 1];
    members_[MAX_PARTY - 1] = nullptr;
    --count_;
    return m;
}

void bl3dParty::removeAt(int index) { delete detachAt(index); }

bool bl3dParty::swap(int a, int b) {
    if (a < 0 || b < 0 || a >= MAX_PARTY || b >= MAX_PARTY || a == b)
        return false;
    std::swap(members_[a], members_[b]);
    return true;
}

int32_t bl3dParty::averageStat(int stat) const {
    if (count_ == 0)
        return 0;
    int64_t sum = 0;
    for (int i = 0; i < count_; ++i)
        if (members_[i])
            sum += members_[i]->getStatBlock()->getCur(stat);
    return static_cast<int32_t>(sum / count_);
}

int bl3dParty::livingCount() const {
    int n = 0;
    for (int i = 0; i < count_; ++i)
        if (members_[i] && !members_[i]->isDead())
            ++n;
    return n;
}

int32_t bl3dParty::levelSum() const {
    int64_t sum = 0;
    for (int i = 0; i < count_; ++i)
        if (members_[i])
            sum += members_[i]->getLevel();
    return saturate32(sum);
}

int64_t bl3dParty::goldSum() const {
    int64_t sum = 0;
    for (int i = 0; i < count_; ++i)
        if (members_[i])
            sum += members_[i]->rawGold();
    return sum;
}

int32_t bl3dParty::totalGold() const { return saturate32(goldSum()); }

namespace {
// Puts as much of the amount in the member's purse as it has room for;
// returns what went in.
int64_t fillPurse(bl3dPartyChar& m, int64_t amount) {
    const int64_t put = std::clamp<int64_t>(int64_t(INT32_MAX) - m.rawGold(), 0, amount);
    m.rawAddGold(static_cast<int32_t>(put));
    return put;
}
} // namespace

void bl3dParty::spreadGold(int64_t n) {
    if (count_ == 0 || n <= 0)
        return;
    // Each but the last a share, the last the rest. A share that does not fit
    // in its purse goes to the others from the last back; only what no purse
    // has room for is left out.
    const int64_t share = n / count_;
    int64_t spill = 0;
    for (int i = 0; i < count_; ++i) {
        const int64_t give = i < count_ - 1 ? share : n - share * (count_ - 1);
        spill += give - fillPurse(*members_[i], give);
    }
    for (int i = count_ - 1; i >= 0 && spill > 0; --i)
        spill -= fillPurse(*members_[i], spill);
}

void bl3dParty::splitGold(int32_t n) {
    // A negative amount hands out nothing.
    if (n > 0)
        spreadGold(n);
}

bool bl3dParty::spendGold(int32_t n) {
    // Worked out on the 64-bit sum: the purses together may hold more than
    // one purse can.
    if (count_ == 0 || n < 0 || goldSum() < n)
        return false;
    int32_t owed = n;
    for (int i = 0; i < count_ && owed > 0; ++i) {
        const int32_t pay = std::min(members_[i]->rawGold(), owed);
        if (pay > 0) {
            members_[i]->rawSpendGold(pay);
            owed -= pay;
        }
    }
    const int64_t pool = goldSum();
    for (int i = 0; i < count_; ++i)
        members_[i]->rawSpendGold(members_[i]->rawGold());
    spreadGold(pool);
    return true;
}

std::string bl3dParty::storeInHall(const bl3dPartyChar& m) const {
    const std::string name = m.getName();
    if (!hall)
        return "there is no hall to keep " + name;
    if (isMonster(m) && hall->hasEntry(name.c_str())) {
        // The hall's record of that name is the monster's own from an
        // earlier save, or an adventurer's, which must stay.
        std::unique_ptr<bl3dPartyChar> held = hall->loadMember(name.c_str());
        if (!held)
            return "the monster " + name + " would replace the hall's record of " + name + ", which cannot be read";
        if (!isMonster(*held))
            return "the monster " + name + " would replace the adventurer " + name + " in the hall";
    }
    if (!hall->storeMember(m))
        return name + " could not be stored in the hall";
    return std::string();
}

void bl3dParty::write(MemStream_C& s) const {
    writeOk_ = true;
    writeError_.clear();
    s.writeByte(count_);
    for (int i = 0; i < count_; ++i) {
        RefStr_C(members_[i]->getName()).write(s);
        const std::string why = storeInHall(*members_[i]);
        if (!why.empty() && writeOk_) {
            writeOk_ = false;
            writeError_ = why;
        }
    }
}

bool bl3dParty::read(int, MemStream_C& s) {
    uint8_t n = 0;
    if (!s.readByte(n) || n > MAX_PARTY)
        return false;
    for (int i = 0; i < n; ++i) {
        RefStr_C name;
        if (!name.read(s))
            return false;
        if (hasMember(name.c_str())) {
            // One stored member can stand in one place only.
            std::fprintf(stderr, "WARNING: party member %s is named twice; left out\n", name.c_str());
            continue;
        }
        std::unique_ptr<bl3dPartyChar> m = hall ? hall->loadMember(name.c_str()) : nullptr;
        if (!m) {
            // The party closes up rather than keep an empty place.
            std::fprintf(stderr, "WARNING: party member %s is not in the hall; left out\n", name.c_str());
            continue;
        }
        addMember(m.release());
    }
    return true;
}

std::unique_ptr<Storable_C> bl3dParty::create(const RefStr_C& name, int version, MemStream_C& s) {
    auto p = std::make_unique<bl3dParty>(name);
    if (!p->read(version, s))
        return nullptr;
    return p;
}
