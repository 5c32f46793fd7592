// mkemptydata: valid, empty master data files for the parts of the game
// whose data is not written yet, so that the game starts.
//   mkemptydata gzip OUT      an empty gzip stream (no records)
//   mkemptydata counts N OUT  N little-endian int32 zero counts
#include "core/MemStream.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "gzip") == 0) {
        gzFile f = gzopen(argv[2], "wb");
        if (!f || gzclose(f) != Z_OK) {
            std::fprintf(stderr, "mkemptydata: cannot write %s\n", argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "counts") == 0) {
        int n = std::atoi(argv[2]);
        MemStream_C s;
        for (int i = 0; i < n; ++i)
            s.writeInt32(0);
        FILE* f = std::fopen(argv[3], "wb");
        bool ok = f && std::fwrite(s.data(), 1, s.size(), f) == s.size();
        if (f && std::fclose(f) != 0)
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "mkemptydata: cannot write %s\n", argv[3]);
            return 1;
        }
        return 0;
    }
    std::fprintf(stderr, "usage: mkemptydata gzip OUT | mkemptydata counts N OUT\n");
    return 2;
}
