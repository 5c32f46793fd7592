// mkmonsters: builds the gzip monster file ("data/monsters.dat") from the
// readable bestiary in content/monsters/.
//   mkmonsters SOURCE OUT
//
// The source holds one block per monster type, "monster NAME" to "end";
// '#' starts a comment. Inside a block (numbers may be hex with 0x):
//   plural NAME            plural name (may be left out)
//   picture NAME           the name buffer (picture and party name)
//   stats V0 .. V21        the 22 stat values
//   hp|sp|xp|gold BASE SPREAD
//   ai N  type N  level N  sex none|female|male
//   action ID WEIGHT       a pair of the first action list
//   action2 ID WEIGHT      a pair of the second action list
//   drop ITEM CHANCE DICE  a drop line, e.g. "drop Short_Sword 250 1d2+0"
// Records are written in source order.
#include "core/MemStream.h"
#include "rules/MonsterTypeRecord.h"
#include "tools/SourceReader.h"

#include <zlib.h>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkmonsters SOURCE OUT\n");
        return 2;
    }
    SourceReader_C in(argv[1]);
    if (!in.opened()) {
        std::fprintf(stderr, "mkmonsters: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<MonsterTypeRecord_S> records;
    bool inBlock = false;
    while (in.next()) {
        const std::string& key = in.keyword();
        std::vector<int64_t> v;
        if (key == "monster") {
            if (inBlock)
                in.error("\"monster\" inside a block");
            records.emplace_back();
            inBlock = true;
            MonsterTypeRecord_S& r = records.back();
            r.name = in.rest();
            r.nameBuffer = r.name;
            if (r.name.empty() || r.name.size() >= MONSTER_NAME_BYTES)
                in.error("monster name empty or longer than 39 characters");
            continue;
        }
        if (!inBlock) {
            in.error("\"" + key + "\" outside a monster block");
            continue;
        }
        MonsterTypeRecord_S& cur = records.back();
        if (key == "end") {
            inBlock = false;
        } else if (key == "plural") {
            cur.pluralName = in.rest();
            if (cur.pluralName.size() >= MONSTER_NAME_BYTES)
                in.error("plural name longer than 39 characters");
        } else if (key == "picture") {
            cur.nameBuffer = in.rest();
            if (cur.nameBuffer.size() >= MONSTER_BUFFER_BYTES)
                in.error("picture name longer than 127 characters");
        } else if (key == "stats") {
            if (!in.numbers(v, 22))
                in.error("stats needs 22 numbers");
            else
                for (int i = 0; i < 22; ++i)
                    cur.stats[i] = static_cast<int32_t>(v[static_cast<size_t>(i)]);
        } else if (key == "hp" || key == "sp" || key == "xp" || key == "gold") {
            if (!in.numbers(v, 2) || v[1] < 0) {
                in.error(key + " needs a base and a spread of 0 or more");
                continue;
            }
            const int32_t base = static_cast<int32_t>(v[0]);
            const uint32_t spread = static_cast<uint32_t>(v[1]);
            if (key == "hp") { cur.hpBase = base; cur.hpSpread = spread; }
            if (key == "sp") { cur.spBase = base; cur.spSpread = spread; }
            if (key == "xp") { cur.xpBase = base; cur.xpSpread = spread; }
            if (key == "gold") { cur.goldBase = base; cur.goldSpread = spread; }
        } else if (key == "ai" || key == "type" || key == "level") {
            if (!in.numbers(v, 1)) {
                in.error(key + " needs one number");
                continue;
            }
            int32_t& field = key == "ai" ? cur.aiIndex : key == "type" ? cur.creatureType : cur.level;
            field = static_cast<int32_t>(v[0]);
        } else if (key == "sex") {
            const std::string s = in.rest();
            cur.sexCode = s == "female" ? 1 : s == "male" ? 2 : 0;
            if (s != "female" && s != "male" && s != "none")
                in.error("sex is none, female or male");
        } else if (key == "action" || key == "action2") {
            if (!in.numbers(v, 2)) {
                in.error(key + " needs an action id and a weight");
                continue;
            }
            auto& list = key == "action" ? cur.actions : cur.actions2;
            list.emplace_back(static_cast<int32_t>(v[0]), static_cast<int32_t>(v[1]));
        } else if (key == "drop") {
            const std::string line = in.rest();
            if (line.size() >= MONSTER_DROP_BYTES)
                in.error("drop line longer than 79 characters");
            cur.drops.push_back(line);
        } else {
            in.error("unknown keyword \"" + key + "\"");
        }
    }
    if (inBlock)
        in.error("last monster block has no \"end\"");
    if (!in.ok())
        return 1;

    MemStream_C out;
    for (const MonsterTypeRecord_S& r : records)
        r.write(out);
    gzFile f = gzopen(argv[2], "wb9");
    bool written = f && (out.size() == 0 || gzwrite(f, out.data(), out.size()) == static_cast<int>(out.size()));
    if (f && gzclose(f) != Z_OK)
        written = false;
    if (!written) {
        std::fprintf(stderr, "mkmonsters: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
