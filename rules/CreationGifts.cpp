#include "rules/CreationGifts.h"

#include "rules/Action.h"
#include "rules/ActionList.h"
#include "rules/PartyChar.h"
#include "rules/TagKeys.h"

namespace {

const std::vector<CreationGift_S>& gifts()
{
    static const std::vector<CreationGift_S> table = {
        {0x1, -1, 0, 2, {{tagkey::berserkLvl, 0}, {tagkey::berserkMax, 0}, {tagkey::Bashing, 10}}, {}, {}},
        {0x2, 0, 0, 0, {{tagkey::MaxSongs, 2}, {tagkey::CurSongs, 2}, {tagkey::SongLvl, 1}}, {0x0e03e8, 0x5ab00d}, {}},
        {0x4, 0, 1, 1, {}, {}, {}},
        {0x8, 0, 0, 0, {{tagkey::h2hExp, 2}}, {}, {}},
        {0x10, -1, 0, 0, {{tagkey::Expert, 1}}, {0x883001}, {}},
        {0x20, 0, 1, 1, {{tagkey::FightEvilMax, 2}, {tagkey::FightEvilCur, 2}, {tagkey::Prof, 1}}, {}, {}},
        {0x40, 0, 0, 0, {{tagkey::Expert, 1}, {tagkey::Prof, 1}}, {0x883002}, {}},
        {0x80, 0, 0, 0, {{tagkey::InitBonus, 2}, {tagkey::Expert, 2}, {tagkey::Prof, 1}, {tagkey::LockPick, 10}}, {0x0e03e8, 0x1e03e9}, {}},
        {0x100, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 2}, {tagkey::Path, 1}}, {}, {0x090001, 0x0f0002}},
        {0x200, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 2}, {tagkey::Path, 16}}, {}, {0x090101, 0x0f0102}},
        {0x400, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 2}, {tagkey::Path, 32}}, {}, {0x09012d, 0x0f012e}},
        {0x800, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 2}, {tagkey::Path, 64}}, {}, {0x0b0116, 0x0f0117}},
        {0x1000, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 2}, {tagkey::Path, 128}}, {}, {0x090160, 0x0f0143}},
        {0x2000, 0, 0, 0, {{tagkey::SPlv, 1}, {tagkey::PtLv, 1}, {tagkey::PtSp, 0}, {tagkey::Path, 256}}, {}, {}},
        {0x4000, 0, 0, 2, {{tagkey::Claw, 1}}, {}, {}},
    };
    return table;
}

} // namespace

const CreationGift_S* creationGift(int32_t classBit)
{
    for (const CreationGift_S& g : gifts())
        if (g.classBit == classBit)
            return &g;
    return nullptr;
}

std::vector<int32_t> giveCreationGifts(bl3dPartyChar& member)
{
    std::vector<int32_t> missing;
    const CreationGift_S* g = creationGift(member.getClassId());
    if (!g)
        return missing;
    bl3dStatBlock* stats = member.getStatBlock();
    stats->setBase(STAT_AC, stats->getBase(STAT_AC) + g->ac);
    stats->setBase(STAT_ATTACK, stats->getBase(STAT_ATTACK) + g->attack);
    stats->setBase(STAT_DAMAGE, stats->getBase(STAT_DAMAGE) + g->damage);
    stats->recompute();
    for (const auto& a : g->attributes)
        member.getTagList()->setInt(a.first, a.second);
    auto learn = [&](ActionList* list, int32_t id) {
        if (bl3dAction* a = masterActionList.getAction(id))
            list->add(a, 0);
        else
            missing.push_back(id);
    };
    for (int32_t id : g->abilities)
        learn(member.actions(), id);
    for (int32_t id : g->spells)
        learn(member.actions2(), id);
    return missing;
}
