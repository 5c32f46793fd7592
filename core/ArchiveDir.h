// The directories of the save archive. Every directory, the root included,
// is a stored record of type 1 whose bytes are its two entry tables: the live
// entries, then the old entries (earlier copies of records replaced or
// removed since the last commit, kept so that a rollback can bring them
// back). Records are written copy-on-write: nothing the file's header
// currently describes is overwritten before a new header describes the
// change, so a crash leaves the file at the state before or after the
// operation that was running.
#pragma once
#include "core/RefStr.h"
#include "core/Storable.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class ArchiveDir_C;
class ArchiveFile_C;
class MemStream_C;

// One entry of a directory. On file: name (int32 length and characters),
// int32 type id, int32 version, int32 offset, int32 size, int16 flags.
struct ArchiveEntry_S {
    static constexpr int16_t MODIFIED = 1;  // changed since the last commit
    static constexpr int16_t DIRECTORY = 2; // the entry is a directory

    RefStr_C name;
    int32_t typeId = 0;
    int32_t version = 0;
    int32_t offset = 0;
    int32_t size = 0;
    int16_t flags = 0;

    bool isModified() const { return (flags & MODIFIED) != 0; }
    bool isDir() const { return (flags & DIRECTORY) != 0; }
    // An entry that holds nothing: no type, no bytes, not a directory.
    bool isPhantom() const { return typeId == 0 && size == 0 && !isDir(); }
};

// Entries kept sorted by name (strcmp order), names unique.
class EntryTable_C {
public:
    // Index of the entry with that name; count() when absent.
    int find(const char* name) const;
    int count() const { return static_cast<int>(entries_.size()); }
    ArchiveEntry_S& at(int i) { return entries_[static_cast<size_t>(i)]; }
    const ArchiveEntry_S& at(int i) const { return entries_[static_cast<size_t>(i)]; }
    // Puts the entry at its sorted place (replacing one of the same name).
    ArchiveEntry_S& insert(const ArchiveEntry_S& e);
    void removeAt(int i);
    void clear() { entries_.clear(); }

    void write(MemStream_C& s) const;
    // False when the bytes end early or make no sense (negative numbers,
    // names out of order or repeated). Phantom entries are dropped as they
    // are read.
    bool read(MemStream_C& s);

private:
    std::vector<ArchiveEntry_S> entries_;
};

// A counted handle to a directory; the last handle deletes it. The root
// archive holds a reference to itself and is deleted by its owner; handles
// that outlive it keep a directory that refuses everything.
class DirHandle_C {
public:
    DirHandle_C() = default;
    explicit DirHandle_C(ArchiveDir_C* dir);
    DirHandle_C(const DirHandle_C& other);
    DirHandle_C(DirHandle_C&& other) noexcept;
    DirHandle_C& operator=(DirHandle_C other) noexcept;
    ~DirHandle_C();

    ArchiveDir_C* get() const { return dir_; }
    ArchiveDir_C* operator->() const { return dir_; }
    ArchiveDir_C& operator*() const { return *dir_; }
    explicit operator bool() const { return dir_ != nullptr; }

private:
    ArchiveDir_C* dir_ = nullptr;
};

class ArchiveDir_C : public Storable_C {
public:
    ArchiveDir_C(const RefStr_C& name, ArchiveFile_C* root, const DirHandle_C& parent);
    ~ArchiveDir_C() override;
    ArchiveDir_C(const ArchiveDir_C&) = delete;
    ArchiveDir_C& operator=(const ArchiveDir_C&) = delete;

    int typeId() const override { return TYPE_ARCHIVE_DIR; }
    // The directory blob: live table, then old table.
    void write(MemStream_C& s) const override;
    bool read(int version, MemStream_C& s) override;

    // Makes every change since the last commit in this directory and its
    // children permanent. False (nothing changed) when the file could not be
    // written.
    virtual bool commit();
    // The child directory of that name, created when absent. A child that
    // cannot be read, a name that holds a record, or a new child that
    // cannot be written to the file gives a directory that refuses every
    // change (isBroken()) and is not kept: the next call tries again.
    virtual DirHandle_C openDir(const char* name);
    // Removes the entry. The index it had; the entry count when the name is
    // absent; -1 when the file could not be written or the entry is a
    // directory (directories are never removed).
    virtual int remove(const char* name);
    // Returns this directory and its children to the last commit. False
    // (nothing changed) when the file could not be written. With nothing to
    // undo it writes nothing.
    virtual bool rollback();
    // Writes the record under its own name, replacing an entry of that name,
    // marks it modified and saves the directories up to the root. True only
    // when everything reached the file; on false the archive is as before.
    // A record is never stored in a directory's place (false), and never
    // becomes a directory, whatever its type id.
    virtual bool store(const Storable_C& record);
    bool store(const Storable_C* record) { return record && store(*record); }

    // Rebuilds the named record through the type registry; null when the
    // name is absent, is a directory, cannot be read or its type is unknown.
    std::unique_ptr<Storable_C> load(const char* name);

    bool hasEntry(const char* name) const;
    // True when something was stored, replaced or removed in this directory
    // or below it since the last commit.
    bool hasChanges() const;
    int getEntryCount() const { return used_.count(); }
    // Name of the live entry at that index in name order; null out of range.
    const char* getEntryName(int index) const;
    // The live entry of that name, null when absent.
    const ArchiveEntry_S* findEntry(const char* name) const;
    const EntryTable_C& usedEntries() const { return used_; }
    const EntryTable_C& oldEntries() const { return old_; }
    // A directory whose blob could not be read: it lists nothing and refuses
    // every change, so that nothing of it is overwritten.
    bool isBroken() const { return broken_; }
    // Null once the archive was deleted while a handle still held this.
    ArchiveFile_C* getRoot() const { return root_; }

    void addRef() { ++refCount_; }
    void releaseRef();

protected:
    // How a store treats the entry's modified bit.
    enum class Mark { Set, Clear, Keep };

    // Stores this directory's blob into its parent; the root writes its blob
    // and switches the header to it.
    virtual bool saveSelf(Mark mark);
    // saveSelf, then the parent saves itself in turn, up to the root.
    bool saveUp(Mark mark);

    bool commitTree();
    bool rollbackTree();
    // Gives back every block of this directory's tree (used when a directory
    // made since the last commit is rolled away).
    void discardTree();
    // Writes the bytes into a new block and points the entry of that name at
    // it. The block the entry had is released once the header no longer
    // describes it (or moved to the old table when it holds the committed
    // copy of a record).
    bool storeBytes(const RefStr_C& name, int32_t typeId, int32_t version, bool isDir,
                    const MemStream_C& bytes, Mark mark);
    // Notes the tables before a change so that a failed operation can put
    // them back.
    void touch();
    bool readBlock(const ArchiveEntry_S& e, MemStream_C& out) const;

    int32_t refCount_ = 0;
    ArchiveFile_C* root_;
    DirHandle_C parent_;
    DirHandle_C cachedChild_;
    EntryTable_C old_;
    EntryTable_C used_;
    bool broken_ = false;

private:
    friend class ArchiveFile_C;
    void unregisterChild(ArchiveDir_C* child);
    // The archive is gone: this directory and its children refuse
    // everything from now on.
    void orphan();
    bool writable() const;
    // Live children by name (not owning): one object per directory.
    std::map<std::string, ArchiveDir_C*> children_;
};
