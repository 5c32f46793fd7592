#include "actions/GenericSong.h"

#include "actions/ActionEnv.h"
#include "actions/ActionFile.h"
#include "actions/WorldMagic.h"
#include "core/TextBuf.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/EnemyList.h"

bl3dGenericSong::bl3dGenericSong(const ActionDef_S& def, EffectList effects)
    : bl3dSong(genericRow(def)), core_(def, std::move(effects), false) {}

bool bl3dGenericSong::aimsAtFoes() const {
    switch (core_.targetKind()) {
    case TARGET_ONE_ENEMY:
    case TARGET_ENEMY_GROUP:
    case TARGET_ALL_ENEMIES: return true;
    default: return false;
    }
}

void bl3dGenericSong::applyEffects(SongUse_S& use) const {
    GenericUse_S g;
    g.layout = SpellLayout::Targeted;
    g.actor = new bl3dActor(use.performer);
    g.text = use.text;
    switch (core_.targetKind()) {
    case TARGET_ONE_MEMBER:
    case TARGET_EVIL_FOES: g.target = use.performer; break;
    case TARGET_ONE_ENEMY:
    case TARGET_ENEMY_GROUP: {
        // The nearest group.
        int distance = 0;
        g.target = enemyList.groupAt(0, &distance);
        g.distance = distance;
        break;
    }
    default: break;
    }
    EffectSums_S sums;
    const int best = core_.applyAll(g, sums, false);
    if (core_.narrate(g, best, sums) != 0)
        use.text->set("#2%s#0 plays %s...\n", use.performer->getName(), name().c_str());
}

void bl3dGenericSong::startOutside(SongUse_S& use, uint32_t end) {
    if (actionID() == SONG_DATA_LIGHT) {
        extendWorldMagic(MAGIC_LIGHT, 0x01, end);
        actionEnv().calcLight();
    }
    if (aimsAtFoes())
        use.text->set("%s plays %s...\n", use.performer->getName(), name().c_str());
    else
        applyEffects(use);
}

void bl3dGenericSong::startInCombat(SongUse_S& use) { applyEffects(use); }
