#include "rules/ItemList.h"

#include "core/MemStream.h"
#include "platform/FileIO.h"
#include "platform/Files.h"
#include "rules/ItemType.h"
#include "rules/Recipe.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

bl3dItemTypeList masterITL;

namespace {
// Files larger than this are not item files.
constexpr long MAX_ITEM_FILE = 64L * 1024 * 1024;

bool readWholeFile(const char* path, MemStream_C& out, bool& missing) {
    missing = false;
    FILE* f = vell::openFile(path, "rb");
    if (!f) {
        missing = true;
        return false;
    }
    char buf[8192];
    bool ok = true;
    long total = 0;
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        total += static_cast<long>(n);
        if (total > MAX_ITEM_FILE || !out.write(buf, static_cast<uint32_t>(n))) {
            ok = false;
            break;
        }
    }
    if (std::ferror(f))
        ok = false;
    std::fclose(f);
    return ok;
}

int recipeTotal(const bl3dItemType* t) { return t->getRecipe() ? t->getRecipe()->totalCount() : 0; }
} // namespace

bl3dItemTypeList::~bl3dItemTypeList() { clear(); }

void bl3dItemTypeList::clear() {
    recipes_.clear();
    types_.clear();
    shopNames_.clear();
}

int bl3dItemTypeList::load(const char* path) {
    MemStream_C s;
    bool missing = false;
    if (!readWholeFile(path, s, missing)) {
        if (missing)
            return -1;
        std::fprintf(stderr, "ERROR: item file %s could not be read\n", path);
        return -2;
    }
    RefStr_C why;
    std::vector<std::string> notes;
    const int rc = loadFrom(s, why, &notes);
    for (const std::string& n : notes)
        std::fprintf(stderr, "ERROR: item file %s: %s\n", path, n.c_str());
    if (rc < 0) {
        std::fprintf(stderr, "ERROR: item file %s is damaged at byte %u: %s\n", path,
                     static_cast<unsigned>(s.readPos()), why.c_str());
        return -2;
    }
    return 0;
}

int bl3dItemTypeList::loadFrom(MemStream_C& s, RefStr_C& why, std::vector<std::string>* notes) {
    // Everything is read into a fresh list first: a file whose structure
    // cannot be followed changes nothing.
    bl3dItemTypeList fresh;
    std::vector<std::string> refused;
    int32_t shops = 0;
    if (!s.readInt32(shops) || shops < 0 || static_cast<uint32_t>(shops) > s.remaining() / 4) {
        why = "bad shop name count";
        return -2;
    }
    for (int32_t i = 0; i < shops; ++i) {
        RefStr_C name;
        if (!name.read(s)) {
            why = "shop name cut short";
            return -2;
        }
        fresh.shopNames_.push_back(name);
    }
    // Records follow until no record kind can be read; fewer bytes than a
    // kind word after the last record are stray and ignored.
    for (int record = 0; s.remaining() >= 4; ++record) {
        int32_t kind = 0;
        s.readInt32(kind);
        const uint32_t at = s.readPos();
        std::unique_ptr<bl3dItemType> t(makeItemType(kind));
        if (!t->load(s, why)) {
            s.setReadPos(at);
            why = ("record " + std::to_string(record) + ": " + why.c_str()).c_str();
            return -2;
        }
        // A stored slot of id 0 is an empty slot: an item of that id could
        // be worn or carried but never saved.
        if (t->getID() == 0) {
            char msg[160];
            std::snprintf(msg, sizeof msg, "record %d (id 0, \"%.60s\") refused: id 0 marks an empty slot", record,
                          t->getName().c_str());
            refused.push_back(msg);
            continue;
        }
        // One id names one type (saved items and shop stock keep only the
        // id): a later record with a taken id is refused, the first stays.
        if (fresh.findById(t->getID())) {
            char msg[160];
            std::snprintf(msg, sizeof msg, "record %d (id %d, \"%.60s\") refused: the id belongs to an earlier record",
                          record, static_cast<int>(t->getID()), t->getName().c_str());
            refused.push_back(msg);
            continue;
        }
        fresh.insert(t.release());
    }
    if (s.remaining() > 0)
        refused.push_back(std::to_string(s.remaining()) + " stray bytes after the last record ignored");
    shopNames_.swap(fresh.shopNames_);
    types_.swap(fresh.types_);
    recipes_.swap(fresh.recipes_);
    if (notes)
        notes->insert(notes->end(), refused.begin(), refused.end());
    return 0;
}

void bl3dItemTypeList::saveTo(MemStream_C& s) const {
    s.writeInt32(static_cast<int32_t>(shopNames_.size()));
    for (const RefStr_C& n : shopNames_)
        n.write(s);
    for (const auto& t : types_) {
        s.writeInt32(t->kind());
        t->save(s);
    }
}

bool bl3dItemTypeList::save(const char* path) const {
    MemStream_C s;
    saveTo(s);
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(s.data(), 1, s.size(), f) == s.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

bool bl3dItemTypeList::insert(bl3dItemType* type) {
    if (!type)
        return false;
    std::unique_ptr<bl3dItemType> owned(type);
    if (type->getID() == 0) {
        std::fprintf(stderr, "ERROR: item id 0 marks an empty slot; the type is refused\n");
        return false;
    }
    auto pos = std::lower_bound(types_.begin(), types_.end(), type->getID(),
                                [](const std::unique_ptr<bl3dItemType>& t, int32_t id) { return t->getID() < id; });
    if (pos != types_.end() && (*pos)->getID() == type->getID()) {
        std::fprintf(stderr, "ERROR: item id %d appears twice; the second is refused\n",
                     static_cast<int>(type->getID()));
        return false;
    }
    types_.insert(pos, std::move(owned));
    if (type->getRecipe() && type->getRecipe()->entryCount() > 0) {
        const int total = recipeTotal(type);
        auto r = std::find_if(recipes_.begin(), recipes_.end(),
                              [total](const bl3dItemType* t) { return recipeTotal(t) <= total; });
        recipes_.insert(r, type);
    }
    return true;
}

bl3dItemType* bl3dItemTypeList::findById(int32_t id) const {
    auto pos = std::lower_bound(types_.begin(), types_.end(), id,
                                [](const std::unique_ptr<bl3dItemType>& t, int32_t v) { return t->getID() < v; });
    if (pos != types_.end() && (*pos)->getID() == id)
        return pos->get();
    return nullptr;
}

bl3dItemType* bl3dItemTypeList::findByName(const char* text) const {
    if (!text)
        return nullptr;
    RefStr_C name;
    for (const auto& t : types_) {
        t->getDisplayName(name);
        if (std::strcmp(name.c_str(), text) == 0)
            return t.get();
    }
    return nullptr;
}

bl3dItemType* bl3dItemTypeList::findByRecipe(const bl3dRecipe* gathered) const {
    if (!gathered)
        return nullptr;
    for (bl3dItemType* t : recipes_) {
        const bl3dRecipe* r = t->getRecipe();
        if (r->getId() != gathered->getId() || r->entryCount() > gathered->entryCount())
            continue;
        bool met = true;
        for (int i = 0; i < r->entryCount() && met; ++i) {
            const RecipeEntry_S* g = gathered->find(r->entry(i).name.c_str());
            met = g && g->count >= r->entry(i).count;
        }
        if (met)
            return t;
    }
    return nullptr;
}

int bl3dItemTypeList::shopIndex(const char* name) const {
    for (size_t i = 0; i < shopNames_.size(); ++i)
        if (name && shopNames_[i] == name)
            return static_cast<int>(i);
    return -1;
}

int bl3dItemTypeList::addShopName(const char* name) {
    shopNames_.push_back(RefStr_C(name ? name : ""));
    return static_cast<int>(shopNames_.size()) - 1;
}

int32_t bl3dItemTypeList::getShopCount(const bl3dItemType* type, int index) const {
    return type ? type->getShopCount(index) : -1;
}
