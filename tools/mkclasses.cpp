// mkclasses: builds the class file ("data/class.dat") from the readable
// class list in content/classes/.
//   mkclasses SOURCE OUT
//
// '#' starts a comment; numbers may be hex with 0x. A class block:
//   class NAME
//   id BIT               one of 0x1 .. 0x4000
//   leveltable INDEX     index of a level table below (0-based)
//   hpdie N  spdie N     hit- and spell-point dice
//   hpbonus N            per point of CN above 14
//   spbonus N STAT       per point of STAT above 14 (22: none)
//   acbonus N STAT       armour step per point of STAT above 14 (22: none)
//   races R ...          allowed race numbers
//   require STAT MIN     a stat minimum (repeatable)
//   modifier STAT AMOUNT a creation modifier (repeatable)
//   tag KEY int|int2|bool VALUE   an attribute of the class (repeatable)
//   list1 N ...  list2 N ...      the two number lists
//   item ID equip|pack   a starting item (repeatable)
//   end
// and a level table block:
//   leveltable NAME
//   thresholds XP ...    experience to pass levels 1, 2, ...
//   step N               experience per level beyond them (0: no more)
//   end
#include "core/MemStream.h"
#include "rules/ClassDefFile.h"
#include "tools/SourceReader.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkclasses SOURCE OUT\n");
        return 2;
    }
    SourceReader_C in(argv[1]);
    if (!in.opened()) {
        std::fprintf(stderr, "mkclasses: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<ClassDef_S> classes;
    std::vector<LevelTable_S> tables;
    ClassDef_S* cls = nullptr;
    LevelTable_S* table = nullptr;
    while (in.next()) {
        const std::string& key = in.keyword();
        if (!cls && !table) {
            if (key == "class") {
                classes.emplace_back();
                cls = &classes.back();
                cls->name = in.rest().c_str();
            } else if (key == "leveltable") {
                tables.emplace_back();
                table = &tables.back();
                table->name = in.rest().c_str();
            } else {
                in.error("\"" + key + "\" outside a block");
            }
            continue;
        }
        if (key == "end") {
            cls = nullptr;
            table = nullptr;
            continue;
        }
        std::vector<int64_t> v;
        if (table) {
            if (key == "thresholds" && in.numbers(v, -1)) {
                for (int64_t x : v)
                    table->thresholds.push_back(static_cast<int32_t>(x));
            } else if (key == "step" && in.numbers(v, 1)) {
                table->step = static_cast<int32_t>(v[0]);
            } else {
                in.error("bad level table line \"" + key + "\"");
            }
            continue;
        }
        auto one = [&](int32_t& field) {
            if (in.numbers(v, 1))
                field = static_cast<int32_t>(v[0]);
            else
                in.error(key + " needs one number");
        };
        if (key == "id") {
            one(cls->classId);
        } else if (key == "leveltable") {
            one(cls->levelTable);
        } else if (key == "hpdie") {
            one(cls->hpDie);
        } else if (key == "spdie") {
            one(cls->spDie);
        } else if (key == "hpbonus") {
            one(cls->hpBonus);
        } else if (key == "spbonus" || key == "acbonus") {
            if (!in.numbers(v, 2) || v[1] < 0 || v[1] > CLASS_NO_STAT) {
                in.error(key + " needs an amount and a stat 0..22");
                continue;
            }
            (key == "spbonus" ? cls->spBonus : cls->acBonus) = static_cast<int32_t>(v[0]);
            (key == "spbonus" ? cls->spStat : cls->acStat) = static_cast<int32_t>(v[1]);
        } else if (key == "races" && in.numbers(v, -1)) {
            for (int64_t x : v)
                cls->races.push_back(static_cast<int32_t>(x));
        } else if ((key == "require" || key == "modifier") && in.numbers(v, 2) && v[0] >= 0 && v[0] < 22) {
            ClassStatPair_S pair{static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1])};
            (key == "require" ? cls->requirements : cls->modifiers).push_back(pair);
        } else if (key == "list1" || key == "list2") {
            if (!in.numbers(v, -1))
                in.error(key + " takes numbers");
            for (int64_t x : v)
                (key == "list1" ? cls->list1 : cls->list2).push_back(static_cast<int32_t>(x));
        } else if (key == "tag") {
            const std::vector<std::string> w = in.words();
            int64_t value = 0;
            if (w.size() != 3 || !SourceReader_C::number(w[2], value)) {
                in.error("tag needs KEY KIND VALUE");
                continue;
            }
            ClassTag_S tag;
            tag.key = w[0].c_str();
            if (w[1] == "int")
                tag.value.setInt(static_cast<int32_t>(value));
            else if (w[1] == "int2")
                tag.value.setInt2(static_cast<int32_t>(value));
            else if (w[1] == "bool")
                tag.value.setBool(value != 0);
            else
                in.error("tag kind is int, int2 or bool");
            cls->tags.push_back(tag);
        } else if (key == "item") {
            const std::vector<std::string> w = in.words();
            int64_t id = 0;
            if (w.size() != 2 || !SourceReader_C::number(w[0], id) || (w[1] != "equip" && w[1] != "pack")) {
                in.error("item needs ID equip|pack");
                continue;
            }
            cls->startingItems.push_back(ClassItem_S{static_cast<int32_t>(id), w[1] == "equip"});
        } else {
            in.error("bad class line \"" + key + "\"");
        }
    }
    if (cls || table)
        in.error("last block has no \"end\"");
    for (const ClassDef_S& c : classes)
        if (c.levelTable < 0 || static_cast<size_t>(c.levelTable) >= tables.size())
            in.error(std::string("class ") + c.name.c_str() + " names a level table that does not exist");
    if (!in.ok())
        return 1;
    MemStream_C out;
    vell::writeClassFile(out, classes, tables);
    if (!vell::writeWholeFile(argv[2], out)) {
        std::fprintf(stderr, "mkclasses: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
