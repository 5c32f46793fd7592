// libFuzzer targets for the master file readers of monsters, classes and
// item creation (clang builds only; the seeded damage tests in
// tests/rules/MasterFileFuzzTest.cpp run with every test run). The reader is
// chosen at compile time by MASTER_FILE (1 monsters, 2 classes, 3 item
// creation).
#include "rules/ActionList.h"
#include "core/MemStream.h"
#include "rules/ClassDefFile.h"
#include "rules/Monster.h"
#include "rules/MonsterType.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemStream_C s;
    if (size > 0)
        s.write(data, static_cast<uint32_t>(size));
    std::string why;
#if MASTER_FILE == 1
    bl3dMonsterTypeList list;
    if (list.loadFrom(s, masterActionList, &why) > 0)
        for (int i = 0; i < list.count(); ++i) {
            std::unique_ptr<bl3dMonster> m(list.at(i)->createMonster(0));
            (void)list.at(i)->article(true);
        }
#elif MASTER_FILE == 2
    std::vector<ClassDef_S> classes;
    std::vector<LevelTable_S> tables;
    if (vell::parseClassFile(s, classes, tables, &why))
        for (const LevelTable_S& t : tables)
            (void)t.xpForLevel(1000);
#else
    std::vector<ItemCreate_S> kinds;
    (void)vell::parseItemCreateFile(s, kinds, &why);
#endif
    return 0;
}
