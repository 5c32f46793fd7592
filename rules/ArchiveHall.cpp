#include "rules/ArchiveHall.h"

#include "rules/PartyChar.h"

bool ArchiveHall_C::storeMember(const bl3dPartyChar& member) {
    return dir_ && dir_->store(static_cast<const Storable_C&>(member));
}

std::unique_ptr<bl3dPartyChar> ArchiveHall_C::loadMember(const char* name) {
    if (!dir_ || !name)
        return nullptr;
    std::unique_ptr<Storable_C> rec = dir_->load(name);
    if (!rec || rec->typeId() != TYPE_PARTY_CHAR)
        return nullptr;
    return std::unique_ptr<bl3dPartyChar>(static_cast<bl3dPartyChar*>(rec.release()));
}
