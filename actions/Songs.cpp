#include "actions/Songs.h"

#include "actions/ActionEnv.h"
#include "rules/ActionList.h"
#include "actions/Attributes.h"
#include "actions/Targets.h"
#include "actions/WorldMagic.h"
#include "core/TagList.h"
#include "core/TextBuf.h"
#include "platform/Random.h"
#include "rules/Actor.h"
#include "rules/Character.h"
#include "rules/EnemyList.h"
#include "rules/Monster.h"
#include "rules/MonsterList.h"
#include "rules/MonsterType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/TagKeys.h"

namespace {

// Beasty Skirl's pull on wandering monsters, and its beast in a fight.
constexpr int32_t MONSTER_JOIN_BONUS = 300;
constexpr const char* SKIRL_BEAST = "Wolf";
// Vezivi'v Iroviriva reaches the foes this near in a fight.
constexpr int INTUITION_REACH = 90;
// A song in combat holds its world bit for the fight.
constexpr uint32_t FOR_THE_FIGHT = 0x3fffffffu;

TagList_C* worldTags() { return rulesEnv().worldTags(); }

void setPlaying(bl3dCharacter* who, bool on) {
    if (on)
        who->addBaseConditions(COND_SONG);
    else
        who->clearBaseConditions(COND_SONG);
}

// Every member who plays a song stops.
void silenceParty() {
    for (int i = 0; i < partySize(); ++i) {
        bl3dPartyChar* m = partyMemberAt(i);
        if (m->isPlayingSong())
            setPlaying(m, false);
    }
}

// The modifier every song gives: type 1, keys (0, 0), then the stats anew.
void songModifier(bl3dCharacter* who, int stat, int32_t value, uint32_t ticks) {
    who->getStatBlock()->addModifier(stat, value, ticks, MOD_SONG, 0, 0);
}

} // namespace

SongUse_S* bl3dSong::songUse(ActionUse_S* use) { return dynamic_cast<SongUse_S*>(use); }

ActionUse_S* bl3dSong::enqueue(bl3dActor* actor, int, int argc, void** argv) {
    bl3dCharacter* who = actor ? actor->getCreature() : nullptr;
    if (argc < 3 || !who || !who->isPartyMember()) {
        delete actor;
        return nullptr;
    }
    auto* use = new SongUse_S;
    use->performer = who;
    use->iface = argv[1];
    use->text = contextText(argc, argv, 0);
    if (!use->text)
        use->text = &TextBuf_C::discard();
    use->mode = contextPlainInt(argc, argv, 2, 0);
    delete actor;
    return use;
}

int bl3dSong::perform(ActionUse_S* record) {
    SongUse_S* use = songUse(record);
    if (!use || !use->performer)
        return -1;
    switch (use->mode) {
    case SONG_START: return start(*use, false);
    case SONG_START_IN_COMBAT: return start(*use, true);
    case SONG_STOP: return endSongOutsideCombat();
    case SONG_STOP_IN_COMBAT: return endSongInCombat(*use->performer, *use->text);
    default: break;
    }
    return -1;
}

int bl3dSong::start(SongUse_S& use, bool inCombat) {
    bl3dCharacter* bard = use.performer;
    TextBuf_C& text = *use.text;
    const char* song = name().c_str();
    const char* who = bard->getName();
    const uint32_t parts = static_cast<uint32_t>(intAttribute(bard, tagkey::Inst));
    if (!actionEnv().bsTest(actionID(), parts)) {
        text.set(inCombat ? "#2%s#0 doesn't have the instrument needed to play %s!"
                          : "%s doesn't have the instrument needed to play %s!",
                 who, song);
        return 3;
    }
    const int32_t uses = intAttribute(bard, tagkey::CurSongs);
    if (uses <= 0) {
        text.set(inCombat ? "#2%s#0 feels a little dry to perform.  Perhaps a cold brew would help?"
                          : "%s feels a little dry to perform.  Perhaps a cold brew would help?",
                 who);
        return 1;
    }
    // The use is spent before anything else can refuse the song.
    setIntAttribute(bard, tagkey::CurSongs, uses - 1);
    const char* playing = inCombat ? tagkey::CBS : tagkey::NCBS;
    if (worldVar(playing) != 0) {
        text.set("Someone is already playing!  It is the height of rudness to interrupt.");
        return 2;
    }
    if (inCombat && refusedInCombat(use))
        return 0;
    setWorldVar(playing, actionID());
    if (inCombat) {
        startInCombat(use);
    } else {
        const uint32_t end = rulesEnv().currentTick() + 120 + static_cast<uint32_t>(vell::gameRand() % 240);
        setWorldVar(tagkey::NCBSEnd, static_cast<int32_t>(end));
        startOutside(use, end);
        actionEnv().queueTimedEvent(EVENT_ID_BARD_SONG, end);
    }
    setPlaying(bard, true);
    actionEnv().playSong(actionID(), parts);
    return 0;
}

int endSongOutsideCombat() {
    const int32_t id = worldVar(tagkey::NCBS);
    if (id != 0)
        if (auto* song = dynamic_cast<bl3dSong*>(masterActionList.getAction(id)))
            song->undoOutside();
    setWorldVar(tagkey::NCBS, 0);
    setWorldVar(tagkey::NCBSEnd, 0);
    actionEnv().stopSong();
    silenceParty();
    return 0;
}

int endSongInCombat(bl3dCharacter& bard, TextBuf_C& text) {
    text.set("#2%s#0 stops playing.", bard.getName());
    const int32_t id = worldVar(tagkey::CBS);
    setWorldVar(tagkey::CBS, 0);
    actionEnv().stopFightSong();
    silenceParty();
    if (id != 0)
        if (auto* song = dynamic_cast<bl3dSong*>(masterActionList.getAction(id)))
            song->undoInCombat();
    return 0;
}

namespace {

bl3dPartyChar* firstSinger() {
    for (int i = 0; i < partySize(); ++i)
        if (bl3dPartyChar* m = partyMemberAt(i); m->isPlayingSong())
            return m;
    return nullptr;
}

} // namespace

int performSongRequest(bl3dAction& song, bl3dPartyChar& member, TextBuf_C& text, void* iface, SongRequest request) {
    void* context[3] = {&text, iface, reinterpret_cast<void*>(static_cast<intptr_t>(request))};
    ActionUse_S* use = song.makeEntry(new bl3dActor(&member), nullptr, 3, context);
    if (!use)
        use = song.enqueue(new bl3dActor(&member), 0, 3, context);
    if (!use)
        return -1;
    const int r = song.perform(use);
    song.freeEntry(use);
    return r;
}

void endSongOutsideCombatWhenDue() {
    TagList_C* tags = worldTags();
    if (!tags)
        return;
    const int32_t song = worldVar(tagkey::NCBS);
    const uint32_t now = rulesEnv().currentTick();
    if (song == 0 || now < static_cast<uint32_t>(worldVar(tagkey::NCBSEnd)))
        return;
    bl3dPartyChar* singer = firstSinger();
    bl3dAction* action = singer ? masterActionList.getAction(song) : nullptr;
    if (dynamic_cast<bl3dSong*>(action))
        performSongRequest(*action, *singer, TextBuf_C::discard(), nullptr, SONG_STOP);
    else
        endSongOutsideCombat();

    switch (song) {
    case SONG_DATA_LIGHT:
        expireMagicBits(tags, MAGIC_LIGHT, now, 0x01);
        actionEnv().calcLight();
        break;
    case SONG_TRYLERS_INTUITION:
        expireMagicBits(tags, MAGIC_PERCEPTION, now, 0x01);
        actionEnv().buildPercepPane();
        break;
    case SONG_WALKING_SONG:
        expireMagicBits(tags, MAGIC_ENCOUNTER, now, 0x08);
        actionEnv().calcXC();
        break;
    default: break;
    }
}

void endPlayingOutsideCombat(TextBuf_C& text, void* iface) {
    for (int i = 0; i < partySize(); ++i) {
        bl3dPartyChar* m = partyMemberAt(i);
        if (!m->isPlayingSong())
            continue;
        const int32_t playing = worldVar(tagkey::NCBS);
        bl3dAction* song = playing ? m->actions()->getAction(playing) : nullptr;
        if (song)
            performSongRequest(*song, *m, text, iface, SONG_STOP);
        else if (playing)
            endSongOutsideCombat();
        else
            setPlaying(m, false);
    }
}

void endPlayingInCombat(bl3dPartyChar& member, TextBuf_C& text) {
    const int32_t playing = worldVar(tagkey::CBS);
    bl3dAction* song = playing ? member.actions()->getAction(playing) : nullptr;
    if (song)
        performSongRequest(*song, member, text, nullptr, SONG_STOP_IN_COMBAT);
    else if (playing)
        endSongInCombat(member, text);
    else
        setPlaying(&member, false);
}

void beginFightWithoutSong() { setWorldVar(tagkey::CBS, 0); }

// --- Beasty Skirl ------------------------------------------------------------------

void bl3dSong_BeastySkirl::startOutside(SongUse_S& use, uint32_t) {
    use.text->set("%s plays %s...", use.performer->getName(), name().c_str());
    setWorldVar(tagkey::MonsterJoin, worldVar(tagkey::MonsterJoin) + MONSTER_JOIN_BONUS);
}

void bl3dSong_BeastySkirl::undoOutside() { setWorldVar(tagkey::MonsterJoin, worldVar(tagkey::MonsterJoin) - MONSTER_JOIN_BONUS); }

bool bl3dSong_BeastySkirl::refusedInCombat(SongUse_S& use) {
    const char* who = use.performer->getName();
    const char* song = name().c_str();
    if (worldVar(tagkey::MagState1) & (MAGSTATE_NO_ILLUSIONS | MAGSTATE_NO_SUMMONING)) {
        use.text->set("#2%s#0 tries to sing %s, but nothing happens!\n", who, song);
        return true;
    }
    if (partySize() >= MAX_PARTY) {
        use.text->set("#2%s#0 sings %s, but the party is full!\n", who, song);
        return true;
    }
    if (!actionEnv().findMonsterType(SKIRL_BEAST)) {
        use.text->set("#2%s#0 sings %s, but no beast answers the call!\n", who, song);
        return true;
    }
    return false;
}

void bl3dSong_BeastySkirl::startInCombat(SongUse_S& use) {
    bl3dMonsterType* type = actionEnv().findMonsterType(SKIRL_BEAST);
    bl3dPartyChar* wolf = type ? type->makePartyChar(true) : nullptr;
    if (wolf) {
        setIntAttribute(wolf, tagkey::MonExpire, 0);
        if (!party || !party->addMonster(wolf))
            delete wolf;
    }
    use.text->set("#2%s#0 sings %s...\n", use.performer->getName(), name().c_str());
}

// --- Proud Mary ----------------------------------------------------------------------

void bl3dSong_ProudMary::startOutside(SongUse_S& use, uint32_t end) {
    const uint32_t ticks = end - rulesEnv().currentTick();
    for (int i = 0; i < partySize(); ++i) {
        bl3dPartyChar* m = partyMemberAt(i);
        if (m->getGender() != SEX_FEMALE)
            continue;
        songModifier(m, STAT_LK, 2, ticks);
        songModifier(m, STAT_CH, 2, ticks);
        m->getStatBlock()->recompute();
    }
    use.text->set("%s sings %s for the ladies in the party!\n", use.performer->getName(), name().c_str());
}

void bl3dSong_ProudMary::startInCombat(SongUse_S& use) {
    use.text->set("#2%s#0 plays %s...", use.performer->getName(), name().c_str());
    const uint32_t ticks = static_cast<uint32_t>(vell::gameRand() % 3 + 10);
    for (int i = 0; i < partySize(); ++i) {
        bl3dPartyChar* m = partyMemberAt(i);
        if (m->getGender() == SEX_MALE) {
            songModifier(m, STAT_ST, 1, ticks);
        } else {
            for (int stat = STAT_ST; stat <= STAT_LK; ++stat)
                songModifier(m, stat, 1, ticks);
        }
        m->getStatBlock()->recompute();
    }
}

// --- Vezivi'v Iroviriva ------------------------------------------------------------------

void bl3dSong_TrylersIntuition::startOutside(SongUse_S& use, uint32_t end) {
    use.text->set("%s plays %s...\n", use.performer->getName(), name().c_str());
    extendWorldMagic(MAGIC_PERCEPTION, 0x01, end);
    actionEnv().buildPercepPane();
}

void bl3dSong_TrylersIntuition::startInCombat(SongUse_S& use) {
    const uint32_t ticks = static_cast<uint32_t>(vell::gameRand() % 3 + 10);
    bool reached = false;
    int distance = 0;
    for (int g = 0; bl3dMonsterList* group = enemyList.groupAt(g, &distance); ++g) {
        if (distance > INTUITION_REACH)
            continue;
        reached = true;
        for (uint32_t i = 0; i < group->getSize(); ++i) {
            bl3dMonster* m = group->getMonster(static_cast<int>(i));
            if (m->getCurHP() <= 0)
                continue;
            songModifier(m, STAT_DX, -2, ticks);
            m->getStatBlock()->recompute();
        }
    }
    use.text->set(reached ? "#2%s#0 sings %s at all who stand against you!\n"
                          : "#2%s#0 sings %s at all who stand against you, but they are all out ouf range!\n",
                  use.performer->getName(), name().c_str());
}

// --- Walking Song ----------------------------------------------------------------------------

void bl3dSong_WalkingSong::startOutside(SongUse_S& use, uint32_t end) {
    extendWorldMagic(MAGIC_ENCOUNTER, 0x08, end);
    actionEnv().calcXC();
    use.text->set("%s sings %s...\n", use.performer->getName(), name().c_str());
}

void bl3dSong_WalkingSong::startInCombat(SongUse_S& use) {
    use.text->set("#2%s#0 plays %s...", use.performer->getName(), name().c_str());
    raiseMagicBits(worldTags(), MAGIC_ENCOUNTER, 0x02, rulesEnv().currentTick() + FOR_THE_FIGHT);
    actionEnv().calcXC();
}

void bl3dSong_WalkingSong::undoInCombat() {
    // The fight's mist goes with the song: its end is now.
    setWorldVar(tagkey::MagExp41, static_cast<int32_t>(rulesEnv().currentTick()));
    expireMagicBits(worldTags(), MAGIC_ENCOUNTER, rulesEnv().currentTick(), 0x02);
    actionEnv().calcXC();
}
