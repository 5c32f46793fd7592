#include "platform/FileIO.h"

#include "platform/Files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <unistd.h>

namespace vell {
namespace {
WriteHook writeHook;
ReadHook readHook;
}

long ioRead(int fd, void* buf, size_t n) {
    if (readHook) {
        const long allowed = readHook(fd, n);
        if (allowed < 0) {
            errno = EIO;
            return -1;
        }
        if (static_cast<size_t>(allowed) < n)
            n = static_cast<size_t>(allowed);
    }
    for (;;) {
        ssize_t r = ::read(fd, buf, n);
        if (r < 0 && errno == EINTR)
            continue;
        return static_cast<long>(r);
    }
}

long ioWrite(int fd, const void* buf, size_t n) {
    if (writeHook) {
        long allowed = writeHook(fd, n);
        if (allowed < 0) {
            errno = EIO;
            return -1;
        }
        if (static_cast<size_t>(allowed) < n)
            n = static_cast<size_t>(allowed);
        if (n == 0) {
            errno = ENOSPC;
            return -1;
        }
    }
    for (;;) {
        ssize_t r = ::write(fd, buf, n);
        if (r < 0 && errno == EINTR)
            continue;
        return static_cast<long>(r);
    }
}

int ioOpen(const char* path, bool truncate) {
    int flags = O_RDWR | O_CREAT | (truncate ? O_TRUNC : 0);
    return ::open(path, flags, NEW_FILE_MODE);
}

int ioClose(int fd) { return ::close(fd); }

bool ioHold(int fd) {
    int r;
    do
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    return r == 0;
}

bool isHeld(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return held;
}

bool ioSeek(int fd, long offset) { return ::lseek(fd, offset, SEEK_SET) == offset; }

bool ioSync(int fd) { return ::fsync(fd) == 0; }

bool ioTruncate(int fd, long size) { return ::ftruncate(fd, size) == 0; }

long ioFileSize(int fd) {
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return -1;
    return static_cast<long>(st.st_size);
}

void setWriteHook(WriteHook hook) { writeHook = std::move(hook); }
void setReadHook(ReadHook hook) { readHook = std::move(hook); }

} // namespace vell
