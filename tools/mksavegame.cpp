// mksavegame: writes the quest template "data/savegame.dat", the save
// archive that every new quest starts as a copy of.
//   mksavegame ITEMS CLASSES ACTIONS PARTY OUT
// ITEMS, CLASSES and ACTIONS are the built "data/item.dat", "data/class.dat"
// and "data/actions.dat";
// PARTY is the readable list of ready-made adventurers
// (content/savegame/party.txt):
//   member NAME / class ID / race N / sex male|female /
//   stats ST IQ WI DX CN CH / [attribute KEY VALUE]... / [carry ITEM-ID]... /
//   [knows ACTION-ID]... / end
// attribute sets one of the character's own integer attributes (such as the
// item-creation skills of "CreateAbility"); carry puts a new item of that
// type into the pack; knows teaches a built-in action: a spell goes into the
// spell book (the second list), anything else into the first list.
// Each adventurer is made by character creation's own code (race and class
// modifiers folded into the base stats, hit and spell points from the class
// dice, gold, the standard actions, the class's starting items and gifts),
// with the game dice seeded by a
// fixed number so that the template is the same on every build. The archive
// holds every adventurer under its name in "hall" and the party of them in
// "world/party.dat". The world itself is set up by the game when the quest
// is first loaded.
#include "rules/Action.h"
#include "rules/ActionList.h"
#include "actions/Catalogue.h"
#include "core/ArchiveFile.h"
#include "platform/Random.h"
#include "actions/Songs.h"
#include "rules/CharCreation.h"
#include "rules/ClassDef.h"
#include "rules/ClassDefFile.h"
#include "rules/ItemList.h"
#include "rules/Item.h"
#include "rules/ItemType.h"
#include "rules/Party.h"
#include "rules/PartyChar.h"
#include "rules/RulesEnv.h"
#include "rules/StatBlock.h"
#include "tools/SourceReader.h"
#include "world/QuestStores.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kTemplateSeed = 1207;

struct MemberSource_S {
    std::string name;
    int32_t classId = 0;
    int32_t race = 0;
    bool male = true;
    std::vector<int64_t> stats;
    std::vector<std::pair<std::string, int32_t>> attributes;
    std::vector<int32_t> carried;
    std::vector<int32_t> known;
    int line = 0;
};

bool readMembers(const char* path, std::vector<MemberSource_S>& out) {
    SourceReader_C in(path);
    if (!in.opened()) {
        std::fprintf(stderr, "mksavegame: cannot open %s\n", path);
        return false;
    }
    MemberSource_S cur;
    bool open = false;
    while (in.next()) {
        const std::string& k = in.keyword();
        std::vector<int64_t> n;
        if (k == "member") {
            if (open)
                in.error("member inside a member block");
            cur = MemberSource_S();
            cur.name = in.rest();
            cur.line = in.line();
            open = !cur.name.empty() && cur.name.size() < 32;
            if (!open)
                in.error("member needs a name of 1 to 31 characters");
        } else if (!open) {
            in.error("'" + k + "' outside a member block");
        } else if (k == "class" && in.numbers(n, 1)) {
            cur.classId = static_cast<int32_t>(n[0]);
        } else if (k == "race" && in.numbers(n, 1) && n[0] >= 1 && n[0] <= 9) {
            cur.race = static_cast<int32_t>(n[0]);
        } else if (k == "sex" && (in.rest() == "male" || in.rest() == "female")) {
            cur.male = in.rest() == "male";
        } else if (k == "stats" && in.numbers(n, 6)) {
            cur.stats = n;
        } else if (k == "attribute") {
            const std::vector<std::string> w = in.words();
            int64_t v = 0;
            if (w.size() == 2 && SourceReader_C::number(w[1], v) && v >= INT32_MIN && v <= INT32_MAX)
                cur.attributes.emplace_back(w[0], static_cast<int32_t>(v));
            else
                in.error("attribute needs KEY VALUE");
        } else if (k == "carry" && in.numbers(n, 1)) {
            if (!masterITL.findById(static_cast<int32_t>(n[0])))
                in.error("carry: no item " + std::to_string(n[0]));
            cur.carried.push_back(static_cast<int32_t>(n[0]));
        } else if (k == "knows" && in.numbers(n, 1)) {
            if (!masterActionList.getAction(static_cast<int32_t>(n[0])))
                in.error("knows: no action " + std::to_string(n[0]));
            cur.known.push_back(static_cast<int32_t>(n[0]));
        } else if (k == "end") {
            if (cur.classId == 0 || cur.race == 0 || cur.stats.size() != 6)
                in.error("member " + cur.name + " needs class, race and stats");
            for (const MemberSource_S& m : out)
                if (m.name == cur.name)
                    in.error("member " + cur.name + " given twice");
            out.push_back(cur);
            open = false;
        } else {
            in.error("bad line '" + k + " " + in.rest() + "'");
        }
    }
    if (open)
        in.error("member " + cur.name + " has no end");
    if (out.size() > static_cast<size_t>(MAX_PARTY))
        in.error("more than 8 members");
    return in.ok();
}

bool knowsAction(ActionList& list, int32_t id) {
    for (bool more = list.first(); more;) {
        bl3dAction* a = list.next();
        if (!a)
            break;
        if (a->actionID() == id)
            return true;
    }
    return false;
}

// Why the member may not know the action at its class and level; empty when
// it may. Spells go by the highest spell level the member may learn ("SPlv")
// and, for the Magician, by its school ("Path"); songs by "SongLvl"; skills
// by the member's level.
std::string cannotKnow(bl3dPartyChar& m, const bl3dAction& a) {
    const TagList_C& t = *m.getTagList();
    if (!a.isForClass(m.getClassId()))
        return "not an action of its class";
    if (a.isSpell()) {
        if (a.getLevel() > t.intValue("SPlv"))
            return "a spell of level " + std::to_string(a.getLevel()) + " (it learns up to level " +
                   std::to_string(t.intValue("SPlv")) + ")";
        if (m.getClassId() == 0x100 && a.school() != t.intValue("Path"))
            return "a spell of another school";
        return "";
    }
    if (dynamic_cast<const bl3dSong*>(&a))
        return a.getLevel() > t.intValue("SongLvl") ? "a song above its song level" : "";
    return a.getLevel() > m.getLevel() ? "a skill of a higher level" : "";
}

// One adventurer as character creation makes it; null (with a message) when
// its class does not exist or does not take it.
std::unique_ptr<bl3dPartyChar> makeMember(const MemberSource_S& src) {
    const ClassDef_S* cls = findClassDef(src.classId);
    if (!cls) {
        std::fprintf(stderr, "mksavegame: member %s: no class 0x%x\n", src.name.c_str(), src.classId);
        return nullptr;
    }
    const CreationRace_S& race = *creationRace(src.race);

    bl3dStatBlock stats;
    for (int i = 0; i < 6; ++i)
        stats.setBase(i, static_cast<int32_t>(src.stats[static_cast<size_t>(i)]));
    addRaceModifiers(stats, race);
    stats.deriveCreation(race.factor);
    if (!cls->allows(src.race, &stats)) {
        std::fprintf(stderr, "mksavegame: member %s: class %s does not take this race or these stats\n",
                     src.name.c_str(), cls->name.c_str());
        return nullptr;
    }
    // Made as character creation makes a new adventurer: the rolled points
    // and gold, the standard actions, the starting items and every gift of
    // its class, the data-defined actions among them.
    const ClassRoll_S roll = classStep(*cls, stats);
    const std::string portrait = std::string(race.prefix) + (src.male ? "Male" : "Female");
    std::unique_ptr<bl3dPartyChar> member =
        makeCreatedChar(src.name.c_str(), *cls, src.race, src.male, portrait.c_str(), stats, roll);
    for (const auto& a : src.attributes)
        member->getTagList()->setInt(a.first.c_str(), a.second);
    for (int32_t id : src.carried)
        if (bl3dItemType* t = masterITL.findById(id))
            member->getPack()->pushFront(t->newInstance());
    for (int32_t id : src.known) {
        bl3dAction* a = masterActionList.getAction(id);
        if (!a)
            continue;
        const std::string why = cannotKnow(*member, *a);
        if (!why.empty()) {
            std::fprintf(stderr, "mksavegame: member %s cannot know 0x%08x (%s): %s\n", src.name.c_str(),
                         unsigned(id), a->name().c_str(), why.c_str());
            return nullptr;
        }
        ActionList* list = a->isSpell() ? member->actions2() : member->actions();
        if (!knowsAction(*list, id))
            list->add(a, 0);
    }
    member->getStatBlock()->recompute();
    return member;
}

bool writeTemplate(const std::string& path, const std::vector<MemberSource_S>& sources) {
    const std::string tmp = path + ".tmp";
    std::remove(tmp.c_str());
    bool ok = false;
    {
        std::string error;
        std::unique_ptr<ArchiveFile_C> archive = ArchiveFile_C::open(tmp, true, &error);
        if (!archive) {
            std::fprintf(stderr, "mksavegame: cannot write %s: %s\n", tmp.c_str(), error.c_str());
            return false;
        }
        installQuestStores(archive.get());
        bl3dParty party(RefStr_C("party.dat"));
        ok = true;
        for (const MemberSource_S& src : sources) {
            std::unique_ptr<bl3dPartyChar> m = makeMember(src);
            if (!m || !party.addMember(m.get())) {
                ok = false;
                break;
            }
            m.release();
        }
        DirHandle_C world = ok ? archive->openDir("world") : DirHandle_C();
        ok = ok && world && world->store(party) && party.lastWriteOk() && archive->commit();
        installQuestStores(nullptr);
    }
    ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::fprintf(stderr, "mksavegame: could not write the quest template %s\n", path.c_str());
        std::remove(tmp.c_str());
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: mksavegame ITEMS CLASSES ACTIONS PARTY OUT\n");
        return 2;
    }
    registerRulesTypes();
    initActions();
    struct ActionsGone {
        ~ActionsGone() { masterActionList.destroyAll(); }
    } actionsGone;
    if (masterITL.load(argv[1]) < 0) {
        std::fprintf(stderr, "mksavegame: cannot read the item types of %s\n", argv[1]);
        return 1;
    }
    if (vell::loadClassFile(argv[2]) < 0)
        return 1;
    // The classes' gifts name data-defined actions too.
    if (masterActionList.load(argv[3]) <= 0) {
        std::fprintf(stderr, "mksavegame: cannot read the actions of %s\n", argv[3]);
        return 1;
    }
    std::vector<MemberSource_S> members;
    if (!readMembers(argv[4], members))
        return 1;
    vell::gameSrand(kTemplateSeed);
    const bool ok = writeTemplate(argv[5], members);
    masterITL.clear();
    return ok ? 0 : 1;
}
