// mkitems: builds the item file "data/item.dat" from the readable catalogue
// content/items/items.txt, writing it with the game's own item list writer
// and reading it back with the game's reader as a check.
//
//   mkitems <catalogue.txt> <item.dat>
//
// The catalogue is a list of lines "keyword values"; '#' starts a comment.
// "shop NAME" lines name the shops in shop-index order. Each item is a block
// from "item ID KIND" (KIND: plain, weapon, kind2, ammo, bow, thrown) to
// "end"; see the catalogue's head for the keywords.
#include "core/MemStream.h"
#include "rules/ItemList.h"
#include "rules/ItemType.h"
#include "rules/Recipe.h"
#include "rules/StatBlock.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Parser {
    std::string file;
    int line = 0;

    [[noreturn]] void die(const std::string& what) const {
        std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, what.c_str());
        std::exit(1);
    }

    int32_t number(const std::string& word) const {
        if (word.empty())
            die("a number is missing");
        char* end = nullptr;
        const long long v = std::strtoll(word.c_str(), &end, 0);
        if (*end || v < INT32_MIN || v > 0xffffffffLL)
            die("not a number: " + word);
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    }

    int32_t stat(const std::string& word) const {
        static const char* const names[STAT_COUNT] = {
            "ST", "IQ", "WI", "DX", "CN", "CH", "CO", "LK", "AC", "ATTACK", "DAMAGE",
            "EXTRA", "COND", "FIREHIT", "FIREDMG", "EARTHHIT", "EARTHDMG", "AIRHIT", "AIRDMG", "WATERHIT",
            "WATERDMG", "STAT21"};
        for (int i = 0; i < STAT_COUNT; ++i)
            if (word == names[i])
                return i;
        const int32_t n = number(word);
        if (!validStat(n))
            die("no such stat: " + word);
        return n;
    }

    // Slot numbers 0..19, or names.
    int32_t slotMask(std::istringstream& in) const {
        static const std::map<std::string, int> names = {
            {"head", 0}, {"body", 1}, {"shirt", 2}, {"belt", 3}, {"back", 4}, {"inst", 5}, {"feet", 6},
            {"gloves", 7}, {"rthand", 8}, {"lthand", 9}, {"ammo", 10}, {"finger", 11}, {"misc", 15}, {"ready", 19}};
        int32_t mask = 0;
        std::string w;
        while (in >> w) {
            auto it = names.find(w);
            const int slot = it != names.end() ? it->second : number(w);
            if (slot < 0 || slot > 19)
                die("no such slot: " + w);
            mask |= 1 << slot;
        }
        return mask;
    }
};

std::string rest(std::istringstream& in) {
    std::string r;
    std::getline(in, r);
    const size_t b = r.find_first_not_of(" \t");
    return b == std::string::npos ? std::string() : r.substr(b);
}

int32_t kindOf(const Parser& p, const std::string& w) {
    static const std::map<std::string, int32_t> kinds = {{"plain", ITEM_PLAIN}, {"weapon", ITEM_WEAPON},
                                                         {"kind2", ITEM_KIND2}, {"ammo", ITEM_AMMO},
                                                         {"bow", ITEM_BOW},     {"thrown", ITEM_THROWN}};
    auto it = kinds.find(w);
    if (it == kinds.end())
        p.die("no such item kind: " + w);
    return it->second;
}

int32_t effectKind(const Parser& p, const std::string& w) {
    if (w == "regen")
        return IEFFECT_REGEN;
    if (w == "inst")
        return IEFFECT_INST;
    if (w == "block")
        return IEFFECT_BLOCK;
    if (w == "ingredient")
        return IEFFECT_INGREDIENT;
    return p.number(w);
}

// "poison duration sides count bonus stride [save]": packs a poisoning hit
// the way weapons carry it (durations and strides in units of 4 ticks).
int32_t poisonValue(const Parser& p, std::istringstream& in) {
    std::string d, s, c, b, st, save;
    in >> d >> s >> c >> b >> st >> save;
    const int32_t dur = p.number(d), sides = p.number(s), count = p.number(c), bonus = p.number(b),
                  stride = p.number(st);
    if (dur < 0 || dur > 0x1ff || sides < 0 || sides > 0x1f || count < 0 || count > 0x1f || bonus < 0 ||
        bonus > 0x3f || stride < 0 || stride > 0x3f)
        p.die("poison values out of range");
    if (!save.empty() && save != "save")
        p.die("poison ends with \"save\" or nothing");
    // A negative value allows a saving throw; the sign bit lies above the
    // duration's nine bits.
    uint32_t v = static_cast<uint32_t>(sides) | static_cast<uint32_t>(count) << 5 |
                 static_cast<uint32_t>(bonus) << 10 | static_cast<uint32_t>(stride) << 16 |
                 static_cast<uint32_t>(dur) << 22;
    if (!save.empty())
        v |= 0x80000000u;
    return static_cast<int32_t>(v);
}

bl3dWeaponType* weapon(const Parser& p, bl3dItemType* t, const char* key) {
    if (t->kind() != ITEM_WEAPON && t->kind() != ITEM_AMMO && t->kind() != ITEM_THROWN)
        p.die(std::string(key) + " needs a weapon, ammunition or throwing weapon");
    return static_cast<bl3dWeaponType*>(t);
}

void itemLine(Parser& p, bl3dItemTypeList& list, bl3dItemType* t, const std::string& key,
              std::istringstream& in) {
    std::string w;
    if (key == "name") {
        t->setBasics(t->getID(), rest(in).c_str(), t->getDescription(), t->getPrice());
    } else if (key == "desc") {
        t->setBasics(t->getID(), t->getName().c_str(), rest(in).c_str(), t->getPrice());
    } else if (key == "price") {
        in >> w;
        t->setBasics(t->getID(), t->getName().c_str(), t->getDescription(), p.number(w));
    } else if (key == "values") {
        std::string i, f;
        in >> i >> f;
        t->setValues(p.number(i), std::strtof(f.c_str(), nullptr));
    } else if (key == "charges") {
        in >> w;
        t->setCharges(w == "unlimited" ? UNLIMITED_CHARGES : p.number(w));
        t->setFlags(t->getFlags() | ITEMF_CHARGES);
    } else if (key == "slots") {
        t->setSlotMask(p.slotMask(in));
    } else if (key == "classes") {
        in >> w;
        t->setClassMask(w == "all" ? 0x7fff : p.number(w));
    } else if (key == "category") {
        in >> w;
        t->setCategory(p.number(w));
    } else if (key == "block") {
        for (int i = 0; i < 5; ++i) {
            in >> w;
            t->setBlock(i, p.number(w));
            w.clear();
        }
    } else if (key == "req" || key == "mod") {
        std::string s, v;
        in >> s >> v;
        if (key == "req")
            t->addRequirement(p.stat(s), p.number(v));
        else
            t->addModifier(p.stat(s), p.number(v));
    } else if (key == "effect") {
        // effect block SLOTS... | effect KIND VALUE TEXT
        std::string k, v;
        in >> k;
        const int32_t kind = effectKind(p, k);
        if (kind == IEFFECT_BLOCK) {
            t->addEffect(kind, p.slotMask(in), "");
        } else {
            in >> v;
            t->addEffect(kind, p.number(v), rest(in).c_str());
        }
    } else if (key == "use") {
        in >> w;
        if (w == "plot") {
            in >> w;
            t->setUseAction(static_cast<int32_t>(0x80000000u | (static_cast<uint32_t>(p.number(w)) & 0xffffu)));
        } else {
            t->setUseAction(p.number(w));
        }
    } else if (key == "recipe") {
        // recipe KIND then "COUNT NAME" pairs separated by commas
        in >> w;
        auto* r = new bl3dRecipe;
        r->setId(p.number(w));
        std::stringstream parts(rest(in));
        std::string part;
        while (std::getline(parts, part, ',')) {
            std::istringstream one(part);
            std::string count;
            one >> count;
            const std::string name = rest(one);
            if (name.empty())
                p.die("a recipe entry needs a count and a name");
            r->addIngredient(p.number(count), name.c_str());
        }
        t->setRecipe(r);
    } else if (key == "stock") {
        std::string shop, count;
        in >> shop >> count;
        const int index = list.shopIndex(shop.c_str());
        if (index < 0)
            p.die("no such shop: " + shop);
        t->addShopCount(count == "unlimited" ? UNLIMITED_CHARGES : p.number(count), index);
    } else if (key == "dice") {
        std::string c, s, b, add;
        in >> c >> s >> b >> add;
        weapon(p, t, "dice")->setDamage(p.number(c), p.number(s), b.empty() ? 0 : p.number(b), add == "addbonus");
    } else if (key == "weaponA") {
        in >> w;
        weapon(p, t, "weaponA")->setWeaponA(p.number(w));
    } else if (key == "special") {
        std::string what;
        in >> what;
        static const std::map<std::string, int32_t> flags = {{"adddamage", WSPEC_ADD_DAMAGE},
                                                             {"onlyvs", WSPEC_ONLY_VS},
                                                             {"doublevs", WSPEC_DOUBLE_VS},
                                                             {"nonevs", WSPEC_NONE_VS},
                                                             {"kill", WSPEC_KILL}};
        bl3dWeaponType* wt = weapon(p, t, "special");
        if (what == "poison") {
            wt->setSpecial(WSPEC_POISON, poisonValue(p, in));
        } else {
            auto it = flags.find(what);
            if (it == flags.end())
                p.die("no such special: " + what);
            in >> w;
            wt->setSpecial(it->second, w.empty() ? 0 : p.number(w));
        }
    } else if (key == "ammokind") {
        in >> w;
        if (t->kind() == ITEM_AMMO)
            static_cast<bl3dAmmoType*>(t)->setAmmoKind(p.number(w));
        else if (t->kind() == ITEM_BOW)
            static_cast<bl3dBowType*>(t)->setAmmoKind(p.number(w));
        else
            p.die("ammokind needs ammunition or a launcher");
    } else if (key == "range") {
        in >> w;
        if (t->kind() == ITEM_BOW)
            static_cast<bl3dBowType*>(t)->setRange(p.number(w));
        else if (t->kind() == ITEM_THROWN)
            static_cast<bl3dThrownType*>(t)->setRange(p.number(w));
        else
            p.die("range needs a launcher or a throwing weapon");
    } else if (key == "isweapon") {
        in >> w;
        if (t->kind() != ITEM_THROWN)
            p.die("isweapon needs a throwing weapon");
        static_cast<bl3dThrownType*>(t)->setIsWeapon(p.number(w) != 0);
    } else if (key == "kind2") {
        if (t->kind() != ITEM_KIND2)
            p.die("kind2 values need a kind2 item");
        for (int i = 0; i < 5; ++i) {
            in >> w;
            static_cast<bl3dItemType2*>(t)->setValue(i, p.number(w));
            w.clear();
        }
    } else {
        p.die("unknown keyword: " + key);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkitems <catalogue.txt> <item.dat>\n");
        return 2;
    }
    Parser p;
    p.file = argv[1];
    std::ifstream src(argv[1]);
    if (!src) {
        std::fprintf(stderr, "mkitems: cannot read %s\n", argv[1]);
        return 1;
    }
    bl3dItemTypeList list;
    std::unique_ptr<bl3dItemType> cur;
    std::string text;
    while (std::getline(src, text)) {
        ++p.line;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        const size_t hash = text.find('#');
        if (hash != std::string::npos)
            text.erase(hash);
        std::istringstream in(text);
        std::string key;
        if (!(in >> key))
            continue;
        if (key == "shop") {
            if (cur)
                p.die("shop inside an item");
            list.addShopName(rest(in).c_str());
        } else if (key == "item") {
            if (cur)
                p.die("item inside an item (missing end)");
            std::string id, kind;
            in >> id >> kind;
            cur.reset(makeItemType(kindOf(p, kind)));
            cur->setBasics(p.number(id), "", "", 0);
        } else if (key == "end") {
            if (!cur)
                p.die("end without item");
            if (cur->getName().empty())
                p.die("item without a name");
            if (cur->getID() == 0)
                p.die("item id 0 (a saved empty slot holds id 0)");
            if (!list.insert(cur.release()))
                p.die("duplicate item id");
        } else {
            if (!cur)
                p.die("keyword outside an item: " + key);
            itemLine(p, list, cur.get(), key, in);
        }
    }
    if (cur)
        p.die("last item has no end");
    if (!list.save(argv[2])) {
        std::fprintf(stderr, "mkitems: cannot write %s\n", argv[2]);
        return 1;
    }
    bl3dItemTypeList check;
    if (check.load(argv[2]) != 0 || check.count() != list.count()) {
        std::fprintf(stderr, "mkitems: %s does not read back\n", argv[2]);
        return 1;
    }
    std::printf("mkitems: %d item types, %d shops -> %s\n", list.count(), list.shopCount(), argv[2]);
    return 0;
}
