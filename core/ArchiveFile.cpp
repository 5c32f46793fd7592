#include "core/ArchiveFile.h"

#include "core/MemStream.h"
#include "platform/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

namespace {
constexpr int32_t HEADER_SIZE = 12;
constexpr int MAX_DEPTH = 64;

bool fitsInt32(int64_t v) { return v >= 0 && v <= INT32_MAX; }
} // namespace

ArchiveFile_C::ArchiveFile_C(const std::string& path, bool truncate, bool hold)
    : ArchiveDir_C(RefStr_C("root"), this, DirHandle_C()) {
    refCount_ = 1; // the root holds itself; its owner deletes it
    if (!openFile(path, truncate, hold)) {
        if (fd_ >= 0)
            vell::ioClose(fd_);
        fd_ = -1;
        used_.clear();
        old_.clear();
        free_.clear();
    }
}

ArchiveFile_C::~ArchiveFile_C() {
    // Directories still held by handles (or by their own children, which
    // hold their parent) let go of this and refuse everything from now on.
    cachedChild_ = DirHandle_C();
    std::vector<DirHandle_C> live;
    for (const auto& c : children_)
        live.emplace_back(c.second);
    children_.clear();
    for (DirHandle_C& c : live) {
        c->orphan();
        c->parent_ = DirHandle_C();
    }
    live.clear();
    if (fd_ >= 0)
        vell::ioClose(fd_);
}

std::unique_ptr<ArchiveFile_C> ArchiveFile_C::open(const std::string& path, bool truncate, std::string* error,
                                                   bool hold) {
    auto archive = std::make_unique<ArchiveFile_C>(path, truncate, hold);
    if (!archive->isOpen()) {
        if (error)
            *error = archive->errorText();
        return nullptr;
    }
    return archive;
}

// ---------------------------------------------------------------- opening

bool ArchiveFile_C::openFile(const std::string& path, bool truncate, bool hold) {
    // Held archives are opened without emptying them first: a held one
    // belongs to another game and must stay as it is.
    fd_ = vell::ioOpen(path.c_str(), truncate && !hold);
    if (fd_ < 0) {
        error_ = "cannot open save archive " + path + ": " + std::strerror(errno);
        return false;
    }
    if (hold) {
        if (!vell::ioHold(fd_)) {
            error_ = "the quest is in use by another game";
            return false;
        }
        if (truncate && !vell::ioTruncate(fd_, 0)) {
            error_ = "cannot empty save archive " + path + ": " + std::strerror(errno);
            return false;
        }
    }
    fileSize_ = vell::ioFileSize(fd_);
    if (fileSize_ < 0) {
        error_ = "cannot read save archive " + path + ": " + std::strerror(errno);
        return false;
    }
    if (fileSize_ == 0) {
        endOfData_ = HEADER_SIZE;
        if (!writeRoot()) {
            error_ = "cannot write the new save archive " + path;
            return false;
        }
        return true;
    }
    if (!readRoot(fileSize_)) {
        error_ = "save archive " + path + " is damaged (" + error_ + "); it was left untouched";
        return false;
    }
    return true;
}

bool ArchiveFile_C::readRoot(long fileSize) {
    MemStream_C head;
    int32_t magic = 0, rootAt = 0, rootSize = 0;
    if (fileSize < 2 * HEADER_SIZE || !readAt(0, HEADER_SIZE, head) || !head.readInt32(magic) ||
        !head.readInt32(rootAt) || !head.readInt32(rootSize)) {
        error_ = "too short for its header";
        return false;
    }
    if (rootAt < HEADER_SIZE || rootSize < HEADER_SIZE || int64_t(rootAt) + rootSize > fileSize) {
        error_ = "the root directory lies outside the file";
        return false;
    }
    MemStream_C blob;
    if (!readAt(rootAt, rootSize, blob)) {
        error_ = "the root directory cannot be read";
        return false;
    }
    int32_t n = 0;
    if (!ArchiveDir_C::read(1, blob) || !blob.readInt32(n) || n < 0 ||
        static_cast<uint64_t>(n) * 8 > blob.remaining()) {
        error_ = "the root directory is malformed";
        return false;
    }
    endOfData_ = rootAt;
    std::map<int32_t, int32_t> claimed;
    std::vector<Block> blocks;
    for (int32_t i = 0; i < n; ++i) {
        Block b{0, 0};
        blob.readInt32(b.offset);
        blob.readInt32(b.size);
        // Committing a name that was new frees its empty old copy, which
        // leaves a block of no size in the list for good.
        if (b.size == 0)
            continue;
        if (b.size < 0 || (!blocks.empty() && b.offset < blocks.back().end()) || !claim(claimed, b.offset, b.size)) {
            error_ = "the free list is malformed";
            return false;
        }
        blocks.push_back(b);
    }
    if (!validateTree(*this, claimed, 0)) {
        error_ = "a directory or entry is malformed or overlaps another";
        return false;
    }
    free_ = blocks;
    hdr_ = Block{rootAt, rootSize};
    return true;
}

bool ArchiveFile_C::claim(std::map<int32_t, int32_t>& used, int32_t offset, int32_t size) const {
    if (offset < 0 || size < 0 || int64_t(offset) + size > endOfData_)
        return false;
    if (size == 0)
        return true;
    if (offset < HEADER_SIZE)
        return false;
    auto next = used.upper_bound(offset);
    if (next != used.end() && next->first < offset + size)
        return false;
    if (next != used.begin() && std::prev(next)->second > offset)
        return false;
    used[offset] = offset + size;
    return true;
}

bool ArchiveFile_C::validateTree(const ArchiveDir_C& dir, std::map<int32_t, int32_t>& used, int depth) {
    if (depth > MAX_DEPTH)
        return false;
    for (int i = 0; i < dir.old_.count(); ++i) {
        const ArchiveEntry_S& e = dir.old_.at(i);
        if (e.isDir() || !claim(used, e.offset, e.size))
            return false;
    }
    for (int i = 0; i < dir.used_.count(); ++i) {
        const ArchiveEntry_S& e = dir.used_.at(i);
        if (!claim(used, e.offset, e.size))
            return false;
        if (!e.isDir())
            continue;
        if (e.typeId != TYPE_ARCHIVE_DIR)
            return false;
        MemStream_C blob;
        ArchiveDir_C child(e.name, this, DirHandle_C());
        if (!readAt(e.offset, e.size, blob) || !child.read(e.version, blob) ||
            !validateTree(child, used, depth + 1))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- space

int32_t ArchiveFile_C::allocate(int32_t n) {
    if (n < 0)
        return -1;
    if (n == 0)
        return 0;
    for (size_t i = 0; i < free_.size(); ++i) {
        Block& b = free_[i];
        if (b.size < n)
            continue;
        int32_t at = b.offset;
        if (b.size == n) {
            free_.erase(free_.begin() + static_cast<long>(i));
        } else {
            b.offset += n;
            b.size -= n;
        }
        return at;
    }
    if (!free_.empty() && free_.back().end() == endOfData_) {
        endOfData_ = free_.back().offset;
        free_.pop_back();
    }
    int32_t at = endOfData_;
    // Never into the root blob the header points at.
    if (hdr_.size > 0 && at < hdr_.end() && hdr_.offset < int64_t(at) + n) {
        if (hdr_.offset > at)
            addFree(free_, Block{at, hdr_.offset - at});
        at = hdr_.end();
    }
    if (!fitsInt32(int64_t(at) + n))
        return -1;
    endOfData_ = at + n;
    return at;
}

void ArchiveFile_C::addFree(std::vector<Block>& list, Block b) {
    if (b.size <= 0)
        return;
    auto pos = std::lower_bound(list.begin(), list.end(), b,
                                [](const Block& x, const Block& y) { return x.offset < y.offset; });
    list.insert(pos, b);
    // Merge blocks that touch or overlap.
    std::vector<Block> merged;
    for (const Block& x : list) {
        if (!merged.empty() && x.offset <= merged.back().end()) {
            int32_t end = std::max(merged.back().end(), x.end());
            merged.back().size = end - merged.back().offset;
        } else {
            merged.push_back(x);
        }
    }
    list.swap(merged);
}

void ArchiveFile_C::release(int32_t offset, int32_t size) {
    if (size > 0)
        pending_.push_back(Block{offset, size});
}

bool ArchiveFile_C::writeAt(int32_t offset, const MemStream_C& bytes) {
    if (bytes.size() == 0)
        return true;
    if (!vell::ioSeek(fd_, offset) || !bytes.writeToFile(fd_))
        return false;
    fileSize_ = std::max<long>(fileSize_, long(offset) + long(bytes.size()));
    return true;
}

bool ArchiveFile_C::readAt(int32_t offset, int32_t size, MemStream_C& out) const {
    if (fd_ < 0 || offset < 0 || size < 0 || int64_t(offset) + size > fileSize_)
        return false;
    if (size == 0)
        return true;
    return vell::ioSeek(fd_, offset) && out.readFromFile(fd_, static_cast<uint32_t>(size));
}

bool ArchiveFile_C::flush() { return !durable_ || vell::ioSync(fd_); }

// ---------------------------------------------------------------- the root

bool ArchiveFile_C::saveSelf(Mark /*mark*/) { return writeRoot(); }

std::vector<ArchiveFile_C::Block> ArchiveFile_C::freeAfterSwitch(int32_t rootAt) const {
    std::vector<Block> all = free_;
    for (const Block& b : pending_)
        addFree(all, b);
    if (hdr_.size > 0 && hdr_.end() <= rootAt)
        addFree(all, hdr_);
    if (endOfData_ < rootAt)
        addFree(all, Block{endOfData_, rootAt - endOfData_});
    std::vector<Block> out;
    for (Block b : all) {
        if (b.offset >= rootAt)
            continue;
        if (b.end() > rootAt)
            b.size = rootAt - b.offset;
        out.push_back(b);
    }
    return out;
}

bool ArchiveFile_C::writeHeader(const Block& b) {
    MemStream_C head;
    head.writeInt32(1);
    head.writeInt32(b.offset);
    head.writeInt32(b.size);
    return writeAt(0, head);
}

bool ArchiveFile_C::writeRoot() {
    // The new root goes after every block in use, clear of the root the
    // header points at now.
    int32_t dataEnd = endOfData_;
    if (!free_.empty() && free_.back().end() == endOfData_)
        dataEnd = free_.back().offset;
    std::vector<Block> freeList;
    MemStream_C blob;
    auto build = [&](int32_t at) {
        freeList = freeAfterSwitch(at);
        blob.clear();
        ArchiveDir_C::write(blob);
        blob.writeInt32(static_cast<int32_t>(freeList.size()));
        for (const Block& b : freeList) {
            blob.writeInt32(b.offset);
            blob.writeInt32(b.size);
        }
    };
    int32_t at = dataEnd;
    build(at);
    if (hdr_.size > 0 && at < hdr_.end() && hdr_.offset < int64_t(at) + blob.size()) {
        at = hdr_.end();
        build(at);
    }
    if (!fitsInt32(int64_t(at) + blob.size()))
        return false;
    if (!writeAt(at, blob) || !flush())
        return false;
    Block fresh{at, static_cast<int32_t>(blob.size())};
    if (!writeHeader(fresh) || !flush()) {
        // Put the old header back; when even that fails the file may hold
        // either header, so nothing more is written until it is reopened.
        if (hdr_.size > 0 ? !(writeHeader(hdr_) && flush()) : !vell::ioTruncate(fd_, 0))
            failed_ = true;
        else if (hdr_.size == 0)
            fileSize_ = 0;
        return false;
    }
    free_ = freeList;
    pending_.clear();
    endOfData_ = at;
    hdr_ = fresh;
    if (fileSize_ > fresh.end() && vell::ioTruncate(fd_, fresh.end()))
        fileSize_ = fresh.end();
    return true;
}

// ---------------------------------------------------------------- operations

void ArchiveFile_C::beginOp() {
    if (opDepth_++ > 0)
        return;
    touched_.clear();
    savedFree_ = free_;
    savedPending_ = pending_;
    savedEnd_ = endOfData_;
    savedHdr_ = hdr_;
}

void ArchiveFile_C::noteDir(ArchiveDir_C* dir) {
    if (opDepth_ == 0)
        return;
    for (const DirSnapshot& s : touched_)
        if (s.dir.get() == dir)
            return;
    touched_.push_back(DirSnapshot{DirHandle_C(dir), dir->used_, dir->old_, dir->broken_});
}

bool ArchiveFile_C::endOp(bool ok) {
    if (--opDepth_ > 0)
        return ok;
    if (!ok) {
        for (DirSnapshot& s : touched_) {
            ArchiveDir_C* d = s.dir.get();
            d->used_ = s.used;
            d->old_ = s.old;
            if (d->broken_ != s.broken) {
                d->broken_ = s.broken;
                if (d->parent_)
                    d->parent_->children_.emplace(d->getName().c_str(), d);
            }
        }
        free_ = savedFree_;
        pending_ = savedPending_;
        endOfData_ = savedEnd_;
        hdr_ = savedHdr_;
    }
    touched_.clear();
    return ok;
}
