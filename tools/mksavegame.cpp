// mksavegame OUT: writes the quest template "data/savegame.dat", the save
// archive that every new quest starts as a copy of. It is an empty archive:
// the header {version 1, end of data 12, root size 12} and the root
// directory with no entries, no old entries and no free blocks. The world,
// the party, the maps and the shops are added by the game when a quest is
// first loaded and saved.
#include "core/MemStream.h"
#include "platform/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int32_t kArchiveVersion = 1;
constexpr int32_t kHeaderBytes = 12;

void writeEmptyArchive(MemStream_C& s) {
    MemStream_C root;
    root.writeInt32(0); // entries
    root.writeInt32(0); // old entries
    root.writeInt32(0); // free blocks
    s.writeInt32(kArchiveVersion);
    s.writeInt32(kHeaderBytes);                        // the root blob follows the header
    s.writeInt32(static_cast<int32_t>(root.size()));   // its size
    for (uint32_t i = 0; i < root.size(); ++i)
        s.writeByte(root.data()[i]);
}

bool writeFileAtomically(const std::string& path, const MemStream_C& s) {
    const std::string tmp = path + ".tmp";
    int fd = vell::ioOpen(tmp.c_str(), true);
    if (fd < 0)
        return false;
    bool ok = vell::ioWrite(fd, s.data(), s.size()) == static_cast<long>(s.size());
    ok = vell::ioClose(fd) == 0 && ok;
    ok = ok && std::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(tmp.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: mksavegame OUT\n");
        return 2;
    }
    MemStream_C s;
    writeEmptyArchive(s);
    if (!writeFileAtomically(argv[1], s)) {
        std::fprintf(stderr, "mksavegame: cannot write %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    return 0;
}
