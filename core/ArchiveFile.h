// ArchiveFile_C: the save archive of a quest, itself the root directory.
//
// File layout (little-endian int32 unless said):
//   0  1 (ignored on reading)
//   4  root directory offset (= end of data)
//   8  root directory size
//   12 record data and child directory blobs; holes are free blocks
//   root directory blob: live table, old table, int32 free-block count, then
//   per block int32 offset and int32 size.
// A new archive is 24 bytes: {1, 12, 12} and the empty root {0, 0, 0}.
//
// Saving never writes over anything the header describes: the new root blob
// goes to space that the current tree does not use, is flushed, and only
// then does the 12-byte header switch to it. Space freed by an operation is
// reused only after that switch.
#pragma once
#include "core/ArchiveDir.h"

#include <memory>
#include <string>
#include <vector>

class ArchiveFile_C : public ArchiveDir_C {
public:
    struct Block {
        int32_t offset;
        int32_t size;
        int32_t end() const { return offset + size; }
        bool operator==(const Block& o) const { return offset == o.offset && size == o.size; }
    };

    // Opens the archive (creating it when absent; emptying it first when
    // truncate is set). A file of zero bytes becomes the empty archive. A
    // file that cannot be opened or read is left untouched and isOpen() is
    // false, with the reason in errorText(). What ordinary use leaves in a
    // file is taken as it is: free blocks of no size and empty entries are
    // dropped, blobs may be smaller than their recorded size and bytes may
    // follow the root; every offset, size and count is still checked
    // against the file, and no two blocks may overlap.
    // With hold set the archive is held while it is open (a quest in play):
    // an archive that another open holds is refused before anything is read
    // or written, with the reason "the quest is in use by another game".
    ArchiveFile_C(const std::string& path, bool truncate, bool hold = false);
    ~ArchiveFile_C() override;

    // The archive, or null (with the reason in *error) when it cannot be
    // opened or read.
    static std::unique_ptr<ArchiveFile_C> open(const std::string& path, bool truncate,
                                               std::string* error = nullptr, bool hold = false);

    bool isOpen() const { return fd_ >= 0 && !broken_; }
    const std::string& errorText() const { return error_; }
    // True after a write failed in a way that could not be undone on disk;
    // the archive then refuses every change until it is opened again.
    bool isFailed() const { return failed_; }

    // Whether each save is flushed to the disk (fsync); on by default.
    void setDurable(bool durable) { durable_ = durable; }

    // Inspection (tests, tools).
    const std::vector<Block>& freeBlocks() const { return free_; }
    int32_t endOfData() const { return endOfData_; }
    Block rootBlock() const { return hdr_; }

protected:
    bool saveSelf(Mark mark) override;

private:
    friend class ArchiveDir_C;

    bool openFile(const std::string& path, bool truncate, bool hold);
    bool readRoot(long fileSize);
    bool validateTree(const ArchiveDir_C& dir, std::map<int32_t, int32_t>& used, int depth);
    bool claim(std::map<int32_t, int32_t>& used, int32_t offset, int32_t size) const;
    bool writeRoot();
    std::vector<Block> freeAfterSwitch(int32_t rootAt) const;
    bool writeHeader(const Block& b);

    // Space management.
    int32_t allocate(int32_t n);
    static void addFree(std::vector<Block>& list, Block b);
    void release(int32_t offset, int32_t size);
    bool writeAt(int32_t offset, const MemStream_C& bytes);
    bool readAt(int32_t offset, int32_t size, MemStream_C& out) const;
    bool flush();

    // Operations: the outermost one puts everything back when it fails.
    void beginOp();
    bool endOp(bool ok);
    void noteDir(ArchiveDir_C* dir);
    bool canWrite() const { return isOpen() && !failed_; }

    int fd_ = -1;
    std::string error_;
    bool failed_ = false;
    bool durable_ = true;
    int32_t endOfData_ = 12;
    std::vector<Block> free_;
    // Blocks the header still describes but the working state no longer
    // uses; they join the free list when the header switches.
    std::vector<Block> pending_;
    // The root blob the header points at (size 0 before the first save).
    Block hdr_{0, 0};
    long fileSize_ = 0;

    struct DirSnapshot {
        DirHandle_C dir;
        EntryTable_C used;
        EntryTable_C old;
        bool broken;
    };
    int opDepth_ = 0;
    std::vector<DirSnapshot> touched_;
    std::vector<Block> savedFree_, savedPending_;
    int32_t savedEnd_ = 0;
    Block savedHdr_{0, 0};
};
