// mkitemcreate: builds the item-creation file ("data/itemcreate.dat") from
// the readable list in content/classes/.
//   mkitemcreate SOURCE OUT
//
// One block per kind of item creation, in the order recipes number them:
//   kind NAME
//   key ATTRIBUTE        the character attribute holding the skill
//   mask BITS            the skill's bit field in it (hex with 0x)
//   fail TEXT            shown when a creation fails
//   nomatch TEXT         shown when the ingredients match no recipe
//   end
#include "core/MemStream.h"
#include "rules/ClassDefFile.h"
#include "tools/SourceReader.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkitemcreate SOURCE OUT\n");
        return 2;
    }
    SourceReader_C in(argv[1]);
    if (!in.opened()) {
        std::fprintf(stderr, "mkitemcreate: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<ItemCreate_S> kinds;
    ItemCreate_S* cur = nullptr;
    while (in.next()) {
        const std::string& key = in.keyword();
        if (!cur) {
            if (key == "kind") {
                kinds.emplace_back();
                cur = &kinds.back();
                cur->name = in.rest().c_str();
            } else {
                in.error("\"" + key + "\" outside a kind block");
            }
            continue;
        }
        std::vector<int64_t> v;
        if (key == "end")
            cur = nullptr;
        else if (key == "key")
            cur->key = in.rest().c_str();
        else if (key == "mask" && in.numbers(v, 1))
            cur->mask = static_cast<int32_t>(v[0]);
        else if (key == "fail")
            cur->failText = in.rest().c_str();
        else if (key == "nomatch")
            cur->noMatchText = in.rest().c_str();
        else
            in.error("bad line \"" + key + "\"");
    }
    if (cur)
        in.error("last kind has no \"end\"");
    if (!in.ok())
        return 1;
    MemStream_C out;
    vell::writeItemCreateFile(out, kinds);
    if (!vell::writeWholeFile(argv[2], out)) {
        std::fprintf(stderr, "mkitemcreate: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
