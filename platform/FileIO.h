// Low-level descriptor I/O for the save archive, with one place where tests
// can make a write or a read fail or stop short.
#pragma once
#include <cstddef>
#include <functional>

namespace vell {

// read()/write() that repeat a call interrupted by a signal. A negative
// result is an error, 0 from ioRead the end of the file.
long ioRead(int fd, void* buf, size_t n);
long ioWrite(int fd, const void* buf, size_t n);

// Opens (creating when absent) a file for reading and writing.
int ioOpen(const char* path, bool truncate);
int ioClose(int fd);
// Takes the advisory lock that marks an open file as held by this open
// (another open of the file, in this program or another, cannot take it
// while it is held; closing the descriptor gives it up). False when it is
// held elsewhere or cannot be taken.
bool ioHold(int fd);
// True when an existing file is held (ioHold) by an open of it.
bool isHeld(const char* path);
// lseek to an absolute offset; false on failure.
bool ioSeek(int fd, long offset);
// fsync; false on failure.
bool ioSync(int fd);
// Cuts (or extends) the file to that size; false on failure.
bool ioTruncate(int fd, long size);
// Size of the open file, -1 on failure.
long ioFileSize(int fd);

// Tests: called before each write with (descriptor, bytes asked); it returns
// the number of bytes to let through (n for all, fewer for a short write, -1
// to fail the write). An empty function removes the hook.
using WriteHook = std::function<long(int fd, size_t n)>;
void setWriteHook(WriteHook hook);

// Tests: called before each read with (descriptor, bytes asked); it returns
// the number of bytes the read may give at most, or -1 to fail the read
// (EIO): a file that cannot be read, whoever runs the test. An empty function
// removes the hook.
using ReadHook = std::function<long(int fd, size_t n)>;
void setReadHook(ReadHook hook);

} // namespace vell
