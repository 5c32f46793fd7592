// mkpicindex: packs the scene pictures described in a text file (see
// content/picindex/pictures.txt) into gzip picture files and the picture
// index "data/picindex.dat" inside a game folder.
//
//   mkpicindex SOURCE.txt GAME_DIR
#include "core/PicCache.h"
#include "platform/Files.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool readFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return true;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

struct Picture {
    PicIndexRecord_S record;
    PicFile_S file;
};

int fail(const std::string& where, int line, const std::string& why)
{
    std::fprintf(stderr, "mkpicindex: %s:%d: %s\n", where.c_str(), line, why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkpicindex SOURCE.txt GAME_DIR\n");
        return 2;
    }
    const std::string source = argv[1];
    const std::string gameDir = argv[2];
    const std::string base = folderOf(source);
    std::ifstream in(source);
    if (!in)
        return fail(source, 0, "cannot open");

    std::vector<Picture> pics;
    std::string text;
    int lineNo = 0;
    while (std::getline(in, text)) {
        ++lineNo;
        std::istringstream words(text);
        std::string word;
        if (!(words >> word) || word[0] == '#')
            continue;
        auto jpeg = [&](std::string& into) {
            std::string name;
            return (words >> name) && readFile(base + "/" + name, into);
        };
        if (word == "picture") {
            Picture p;
            if (!(words >> p.record.nickname >> p.record.keepBonus >> p.record.path))
                return fail(source, lineNo, "picture needs NICKNAME KEEP PATH");
            pics.push_back(p);
            continue;
        }
        if (pics.empty())
            return fail(source, lineNo, "'" + word + "' before any picture");
        PicFile_S& f = pics.back().file;
        if (word == "high") {
            if (!(words >> f.width >> f.height >> f.texWidth >> f.texHeight) || !jpeg(f.highJpeg))
                return fail(source, lineNo, "high needs W H TEXW TEXH and a readable JPEG");
        } else if (word == "low") {
            if (!(words >> f.lowWidth >> f.lowHeight >> f.lowTexWidth >> f.lowTexHeight) || !jpeg(f.lowJpeg))
                return fail(source, lineNo, "low needs W H TEXW TEXH and a readable JPEG");
        } else if (word == "region") {
            PicFileRegion_S r;
            if (!(words >> r.x >> r.y >> r.width >> r.height))
                return fail(source, lineNo, "region needs X Y W H");
            f.regions.push_back(r);
        } else if (word == "frame") {
            std::string bytes;
            if (f.regions.empty() || !jpeg(bytes))
                return fail(source, lineNo, "frame needs a region and a readable JPEG");
            f.regions.back().extraFrames.push_back(bytes);
        } else if (word == "step") {
            PicFileRegion_S::Step s{};
            if (f.regions.empty() || !(words >> s.frame >> s.base >> s.extra))
                return fail(source, lineNo, "step needs a region and FRAME BASE EXTRA");
            if (s.frame < 0 || s.frame > int(f.regions.back().extraFrames.size()) || s.base < 0 || s.base > 255 ||
                s.extra < 0 || s.extra > 255)
                return fail(source, lineNo, "step values out of range");
            f.regions.back().steps.push_back(s);
        } else {
            return fail(source, lineNo, "unknown word '" + word + "'");
        }
    }

    std::vector<PicIndexRecord_S> index;
    for (const Picture& p : pics) {
        const std::string out = gameDir + "/" + p.record.path;
        vell::ensureDir(folderOf(out));
        if (!PicCache_C::writePicFile(out.c_str(), p.file))
            return fail(out, 0, "cannot write");
        index.push_back(p.record);
    }
    vell::ensureDir(gameDir + "/data");
    const std::string indexPath = gameDir + "/data/picindex.dat";
    if (!PicCache_C::writeIndex(indexPath.c_str(), index))
        return fail(indexPath, 0, "cannot write");
    return 0;
}
