// The members of ActionList that know the kinds of actions (the list itself
// is part of the rules model, rules/ActionList.h): load, the action data
// file into a list of actions; getSpellByCode, which reads a spell's code.
#include "actions/ActionFile.h"
#include "rules/ActionList.h"
#include "actions/DamageEffect.h"
#include "actions/GenericSong.h"
#include "actions/GenericSkill.h"
#include "actions/GenericSpell.h"
#include "actions/HealEffect.h"
#include "actions/Spell.h"
#include "actions/StatEffect.h"
#include "core/Log.h"
#include "platform/Files.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The effects of a usable record, in file order; bodies of other types are
// passed over.
EffectList effectsOf(const ActionRecord_S& rec) {
    EffectList effects;
    for (const EffectRecord_S& e : rec.effects) {
        switch (e.header.type) {
        case EFFECT_DAMAGE: effects.push_back(std::make_unique<bl3dDamageEffect>(e.damage)); break;
        case EFFECT_STAT: {
            auto stat = std::make_unique<bl3dStatEffect>(e.stat);
            for (size_t i = 0; i < e.pairs.size(); ++i)
                stat->setPair(static_cast<int>(i), e.pairs[i].stat, e.pairs[i].amount);
            effects.push_back(std::move(stat));
            break;
        }
        case EFFECT_HEAL: effects.push_back(std::make_unique<bl3dHealEffect>(e.heal)); break;
        default: VELL_LOG(1, "ERROR: Unknown generic action type %d!\n", e.header.type); break;
        }
    }
    return effects;
}

bl3dAction* makeAction(const ActionRecord_S& rec) {
    if (rec.def.isSpell())
        return new bl3dGenericSpell(rec.def, effectsOf(rec));
    // A song plays through the frame of every song.
    if (rec.def.id & ACTION_BARD_SONG)
        return new bl3dGenericSong(rec.def, effectsOf(rec));
    return new bl3dGenericSkill(rec.def, effectsOf(rec));
}

} // namespace

int ActionList::load(const char* path) {
    gzFile f = path ? gzopen(vell::resolvePath(path).c_str(), "rb") : nullptr;
    if (!f) {
        VELL_LOG(1, "ERROR: Failed to load ActionList %s!\n", path ? path : "(null)");
        return 0;
    }
    int added = 0;
    for (int index = 1;; ++index) {
        ActionRecord_S rec;
        std::string why;
        const int r = rec.read(f, &why);
        if (r == 0)
            break;
        if (r < 0) {
            std::fprintf(stderr, "ERROR: action file %s: record %d: %s; no further record is read\n", path, index,
                         why.c_str());
            break;
        }
        const std::string fault = rec.fault();
        if (!fault.empty()) {
            std::fprintf(stderr, "ERROR: action file %s: record %d (0x%08x \"%s\") refused: %s\n", path, index,
                         rec.def.id, rec.def.name.c_str(), fault.c_str());
            continue;
        }
        const std::string warning = rec.warning();
        if (!warning.empty())
            std::fprintf(stderr, "WARNING: action file %s: record %d (0x%08x \"%s\"): %s\n", path, index, rec.def.id,
                         rec.def.name.c_str(), warning.c_str());
        bl3dAction* action = makeAction(rec);
        if (add(action, 0) == 0)
            ++added;
        else
            delete action;
    }
    gzclose(f);
    return added;
}

bl3dAction* ActionList::getSpellByCode(const char* code) const {
    if (!code)
        return nullptr;
    for (ActionNode_S* n = head_; n; n = n->next) {
        if (!n->action->isSpell())
            continue;
        const char* c = static_cast<const bl3dSpell*>(n->action)->code();
        if (c && std::strcmp(c, code) == 0)
            return n->action;
    }
    return nullptr;
}
