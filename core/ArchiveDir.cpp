#include "core/ArchiveDir.h"

#include "core/ArchiveFile.h"
#include "core/MemStream.h"

#include <cstring>
#include <utility>

// ---------------------------------------------------------------- EntryTable_C

int EntryTable_C::find(const char* name) const {
    for (int i = 0; i < count(); ++i)
        if (std::strcmp(at(i).name.c_str(), name) == 0)
            return i;
    return count();
}

ArchiveEntry_S& EntryTable_C::insert(const ArchiveEntry_S& e) {
    size_t i = 0;
    while (i < entries_.size() && std::strcmp(entries_[i].name.c_str(), e.name.c_str()) < 0)
        ++i;
    if (i < entries_.size() && entries_[i].name == e.name)
        entries_[i] = e;
    else
        entries_.insert(entries_.begin() + static_cast<long>(i), e);
    return entries_[i];
}

void EntryTable_C::removeAt(int i) { entries_.erase(entries_.begin() + i); }

void EntryTable_C::write(MemStream_C& s) const {
    s.writeInt32(count());
    for (const ArchiveEntry_S& e : entries_) {
        e.name.write(s);
        s.writeInt32(e.typeId);
        s.writeInt32(e.version);
        s.writeInt32(e.offset);
        s.writeInt32(e.size);
        s.writeInt16(e.flags);
    }
}

bool EntryTable_C::read(MemStream_C& s) {
    entries_.clear();
    int32_t n = 0;
    // An entry takes at least 22 bytes (empty name).
    if (!s.readInt32(n) || n < 0 || static_cast<uint64_t>(n) * 22 > s.remaining())
        return false;
    entries_.reserve(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        ArchiveEntry_S e;
        if (!e.name.read(s) || !s.readInt32(e.typeId) || !s.readInt32(e.version) || !s.readInt32(e.offset) ||
            !s.readInt32(e.size) || !s.readInt16(e.flags) || e.offset < 0 || e.size < 0) {
            entries_.clear();
            return false;
        }
        // A name first stored since the last commit leaves an empty copy of
        // its new entry in the old table, and a rollback copies it back: it
        // stands for nothing, and the same name may appear so more than once.
        if (e.isPhantom())
            continue;
        if (!entries_.empty() && std::strcmp(entries_.back().name.c_str(), e.name.c_str()) >= 0) {
            entries_.clear();
            return false;
        }
        entries_.push_back(e);
    }
    return true;
}

// ---------------------------------------------------------------- DirHandle_C

DirHandle_C::DirHandle_C(ArchiveDir_C* dir) : dir_(dir) {
    if (dir_)
        dir_->addRef();
}

DirHandle_C::DirHandle_C(const DirHandle_C& other) : DirHandle_C(other.dir_) {}

DirHandle_C::DirHandle_C(DirHandle_C&& other) noexcept : dir_(other.dir_) { other.dir_ = nullptr; }

DirHandle_C& DirHandle_C::operator=(DirHandle_C other) noexcept {
    std::swap(dir_, other.dir_);
    return *this;
}

DirHandle_C::~DirHandle_C() {
    if (dir_)
        dir_->releaseRef();
}

// ---------------------------------------------------------------- ArchiveDir_C

ArchiveDir_C::ArchiveDir_C(const RefStr_C& name, ArchiveFile_C* root, const DirHandle_C& parent)
    : Storable_C(name), root_(root), parent_(parent) {}

ArchiveDir_C::~ArchiveDir_C() {
    if (parent_)
        parent_->unregisterChild(this);
    cachedChild_ = DirHandle_C();
}

void ArchiveDir_C::releaseRef() {
    if (--refCount_ == 0)
        delete this;
}

void ArchiveDir_C::orphan() {
    // The handles keep the children alive while they let go in turn; a
    // child cached here and holding this as its parent is a cycle that only
    // this breaks.
    std::vector<DirHandle_C> live;
    for (const auto& c : children_)
        live.emplace_back(c.second);
    for (DirHandle_C& c : live)
        c->orphan();
    root_ = nullptr;
    broken_ = true;
    cachedChild_ = DirHandle_C();
}

bool ArchiveDir_C::writable() const { return !broken_ && root_ && root_->canWrite(); }

void ArchiveDir_C::unregisterChild(ArchiveDir_C* child) {
    auto it = children_.find(child->getName().c_str());
    if (it != children_.end() && it->second == child)
        children_.erase(it);
}

void ArchiveDir_C::write(MemStream_C& s) const {
    used_.write(s);
    old_.write(s);
}

bool ArchiveDir_C::read(int /*version*/, MemStream_C& s) {
    if (used_.read(s) && old_.read(s))
        return true;
    used_.clear();
    old_.clear();
    return false;
}

bool ArchiveDir_C::hasEntry(const char* name) const { return findEntry(name) != nullptr; }

const ArchiveEntry_S* ArchiveDir_C::findEntry(const char* name) const {
    int i = used_.find(name ? name : "");
    return i < used_.count() ? &used_.at(i) : nullptr;
}

const char* ArchiveDir_C::getEntryName(int index) const {
    if (index < 0 || index >= used_.count())
        return nullptr;
    return used_.at(index).name.c_str();
}

void ArchiveDir_C::touch() {
    if (root_)
        root_->noteDir(this);
}

bool ArchiveDir_C::readBlock(const ArchiveEntry_S& e, MemStream_C& out) const {
    return root_->readAt(e.offset, e.size, out);
}

std::unique_ptr<Storable_C> ArchiveDir_C::load(const char* name) {
    const ArchiveEntry_S* e = findEntry(name);
    if (!e || e->isDir() || !root_ || !root_->isOpen())
        return nullptr;
    MemStream_C bytes;
    if (!readBlock(*e, bytes))
        return nullptr;
    return getTypeRegistry().create(e->typeId, e->name, e->version, bytes);
}

bool ArchiveDir_C::storeBytes(const RefStr_C& name, int32_t typeId, int32_t version, bool isDir,
                              const MemStream_C& bytes, Mark mark) {
    touch();
    int i = used_.find(name.c_str());
    bool isNew = i == used_.count();
    if (!isNew && used_.at(i).isDir() != isDir)
        return false; // a record never replaces a directory, nor the reverse
    int32_t offset = root_->allocate(static_cast<int32_t>(bytes.size()));
    if (offset < 0 || !root_->writeAt(offset, bytes))
        return false;

    ArchiveEntry_S e;
    if (isNew) {
        e.name = name;
    } else {
        e = used_.at(i);
        // The committed copy of a record stays for a rollback; any other
        // block is given back once the header has moved on.
        if (!e.isModified() && !e.isDir() && old_.find(e.name.c_str()) == old_.count())
            old_.insert(e);
        else
            root_->release(e.offset, e.size);
    }
    e.typeId = typeId;
    e.version = version;
    e.offset = offset;
    e.size = static_cast<int32_t>(bytes.size());
    if (isDir)
        e.flags |= ArchiveEntry_S::DIRECTORY;
    if (mark == Mark::Set)
        e.flags |= ArchiveEntry_S::MODIFIED;
    else if (mark == Mark::Clear)
        e.flags &= ~ArchiveEntry_S::MODIFIED;
    used_.insert(e);
    return true;
}

bool ArchiveDir_C::saveSelf(Mark mark) {
    MemStream_C blob;
    write(blob);
    return parent_->storeBytes(getName(), TYPE_ARCHIVE_DIR, 1, true, blob, mark);
}

bool ArchiveDir_C::saveUp(Mark mark) {
    if (!saveSelf(mark))
        return false;
    if (!parent_)
        return true;
    return parent_->saveUp(mark == Mark::Set ? Mark::Set : Mark::Keep);
}

bool ArchiveDir_C::store(const Storable_C& record) {
    if (!writable())
        return false;
    MemStream_C bytes;
    record.write(bytes);
    // Only openDir makes a directory: whatever its type id, a record is a
    // record, and it never takes a directory's place.
    root_->beginOp();
    bool ok = storeBytes(record.getName(), record.typeId(), record.version(), false, bytes, Mark::Set) &&
              saveUp(Mark::Set);
    return root_->endOp(ok);
}

DirHandle_C ArchiveDir_C::openDir(const char* name) {
    if (!name)
        name = "";
    // A directory that stands for nothing on file (the archive is gone or
    // unreadable, the name holds a record, its blob cannot be read): it
    // refuses everything and is not kept, so a later call looks again.
    auto nothing = [name]() {
        DirHandle_C none(new ArchiveDir_C(RefStr_C(name), nullptr, DirHandle_C()));
        none->broken_ = true;
        return none;
    };
    if (!root_ || broken_ || !root_->isOpen())
        return nothing();
    if (cachedChild_ && cachedChild_->getName() == name)
        return cachedChild_;
    auto live = children_.find(name);
    if (live != children_.end()) {
        cachedChild_ = DirHandle_C(live->second);
        return cachedChild_;
    }
    const ArchiveEntry_S* e = findEntry(name);
    if (e && !e->isDir())
        return nothing();
    DirHandle_C child(new ArchiveDir_C(RefStr_C(name), root_, DirHandle_C(this)));
    if (e) {
        MemStream_C bytes;
        if (!readBlock(*e, bytes) || !child->read(e->version, bytes))
            return nothing();
    }
    if (!e) {
        // A new directory exists only once the file holds it.
        if (!writable())
            return nothing();
        MemStream_C empty;
        child->write(empty);
        root_->beginOp();
        bool ok = storeBytes(child->getName(), TYPE_ARCHIVE_DIR, 1, true, empty, Mark::Keep) &&
                  saveUp(Mark::Set);
        if (!root_->endOp(ok))
            return nothing();
    }
    children_[name] = child.get();
    cachedChild_ = child;
    return child;
}

int ArchiveDir_C::remove(const char* name) {
    if (!name)
        name = "";
    int i = used_.find(name);
    if (i == used_.count())
        return i;
    if (!writable() || used_.at(i).isDir())
        return -1;
    root_->beginOp();
    touch();
    ArchiveEntry_S e = used_.at(i);
    if (e.isModified() || old_.find(name) != old_.count())
        root_->release(e.offset, e.size);
    else
        old_.insert(e);
    used_.removeAt(i);
    bool ok = saveUp(Mark::Set);
    return root_->endOp(ok) ? i : -1;
}

bool ArchiveDir_C::commitTree() {
    if (broken_)
        return false;
    touch();
    for (int i = 0; i < old_.count(); ++i)
        root_->release(old_.at(i).offset, old_.at(i).size);
    old_.clear();
    std::vector<RefStr_C> dirs;
    for (int i = 0; i < used_.count(); ++i) {
        ArchiveEntry_S& e = used_.at(i);
        if (!e.isModified())
            continue;
        if (e.isDir())
            dirs.push_back(e.name);
        else
            e.flags &= ~ArchiveEntry_S::MODIFIED;
    }
    for (const RefStr_C& d : dirs) {
        DirHandle_C child = openDir(d.c_str());
        if (!child->commitTree())
            return false;
    }
    return saveSelf(Mark::Clear);
}

bool ArchiveDir_C::commit() {
    if (!writable())
        return false;
    root_->beginOp();
    bool ok = commitTree() && (!parent_ || parent_->saveUp(Mark::Keep));
    return root_->endOp(ok);
}

void ArchiveDir_C::discardTree() {
    touch();
    for (int i = 0; i < used_.count(); ++i) {
        const ArchiveEntry_S& e = used_.at(i);
        if (e.isDir()) {
            DirHandle_C child = openDir(e.name.c_str());
            if (!child->broken_)
                child->discardTree();
        }
        root_->release(e.offset, e.size);
    }
    for (int i = 0; i < old_.count(); ++i)
        root_->release(old_.at(i).offset, old_.at(i).size);
    used_.clear();
    old_.clear();
    // This object no longer stands for anything on file.
    broken_ = true;
    if (parent_) {
        parent_->unregisterChild(this);
        if (parent_->cachedChild_.get() == this)
            parent_->cachedChild_ = DirHandle_C();
    }
}

bool ArchiveDir_C::rollbackTree() {
    if (broken_)
        return false;
    touch();
    // Entries changed since the commit: records are dropped, directories
    // rolled back (or discarded when a committed record of that name comes
    // back in their place).
    std::vector<RefStr_C> names;
    for (int i = 0; i < used_.count(); ++i)
        if (used_.at(i).isModified() || old_.find(used_.at(i).name.c_str()) != old_.count())
            names.push_back(used_.at(i).name);
    for (const RefStr_C& n : names) {
        int i = used_.find(n.c_str());
        ArchiveEntry_S e = used_.at(i);
        bool replaced = old_.find(n.c_str()) != old_.count();
        if (e.isDir()) {
            DirHandle_C child = openDir(n.c_str());
            if (replaced) {
                if (!child->broken_)
                    child->discardTree();
                touch();
                i = used_.find(n.c_str());
                root_->release(used_.at(i).offset, used_.at(i).size);
                used_.removeAt(i);
            } else if (!child->rollbackTree()) {
                return false;
            }
        } else {
            root_->release(e.offset, e.size);
            used_.removeAt(i);
        }
    }
    for (int i = 0; i < old_.count(); ++i)
        used_.insert(old_.at(i));
    old_.clear();
    return saveSelf(Mark::Clear);
}

bool ArchiveDir_C::hasChanges() const {
    // Every change below a directory marks its entry modified, up to here.
    if (old_.count() > 0)
        return true;
    for (int i = 0; i < used_.count(); ++i)
        if (used_.at(i).isModified())
            return true;
    return false;
}

bool ArchiveDir_C::rollback() {
    if (!writable())
        return false;
    if (!hasChanges())
        return true;
    root_->beginOp();
    bool ok = rollbackTree() && (!parent_ || parent_->saveUp(Mark::Keep));
    return root_->endOp(ok);
}
