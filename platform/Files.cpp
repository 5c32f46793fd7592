#include "platform/Files.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vell {
namespace {

bool exists(const std::string& p) {
    struct stat st;
    return ::stat(p.c_str(), &st) == 0;
}

std::vector<std::string> splitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

} // namespace

std::string resolvePath(const std::string& path) {
    if (path.empty() || exists(path))
        return path;
    std::vector<std::string> parts = splitPath(path);
    std::string built;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string candidate = (i == 0) ? part : built + "/" + part;
        if (i == 0 && part.empty()) { // absolute path
            built = "";
            continue;
        }
        if (part.empty() || part == "." || part == ".." || exists(candidate)) {
            built = candidate;
            continue;
        }
        std::string folder = (i == 0) ? "." : (built.empty() ? "/" : built);
        bool found = false;
        for (const DirEntry& e : listDir(folder)) {
            if (strcasecmp(e.name.c_str(), part.c_str()) == 0) {
                built = (i == 0) ? e.name : built + "/" + e.name;
                found = true;
                break;
            }
        }
        if (!found)
            return path;
    }
    return built;
}

std::string normalPath(const std::string& path) {
    if (path.empty())
        return path;
    std::vector<std::string> parts = splitPath(path);
    const bool absolute = parts.front().empty();
    std::vector<std::string> kept;
    for (const std::string& part : parts) {
        if (part.empty() || part == ".")
            continue;
        if (part == ".." && !kept.empty() && kept.back() != "..")
            kept.pop_back();
        else if (part != ".." || !absolute)
            kept.push_back(part);
    }
    std::string out = absolute ? "/" : "";
    for (size_t i = 0; i < kept.size(); ++i)
        out += (i ? "/" : "") + kept[i];
    if (absolute) {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd)) {
            std::string here = cwd;
            if (here != "/")
                here += "/";
            if (out.size() > here.size() && out.compare(0, here.size(), here) == 0)
                out.erase(0, here.size());
        }
    }
    if (out.empty())
        out = absolute ? "/" : ".";
    return resolvePath(out);
}

FILE* openFile(const std::string& path, const char* mode) {
    return std::fopen(resolvePath(path).c_str(), mode);
}

std::vector<DirEntry> listDir(const std::string& folder) {
    std::vector<DirEntry> out;
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        return out;
    while (struct dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        DirEntry entry;
        entry.name = e->d_name;
        struct stat st;
        std::string full = folder + "/" + entry.name;
        entry.isDir = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        out.push_back(entry);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return out;
}

void stripLineEnd(char* line) {
    if (!line)
        return;
    size_t n = std::strlen(line);
    if (n && line[n - 1] == '\n') {
        line[--n] = 0;
        if (n && line[n - 1] == '\r')
            line[--n] = 0;
    }
}

void stripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\n') {
        line.pop_back();
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
    }
}

bool ensureDir(const std::string& folder) {
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return ::mkdir(folder.c_str(), 0755) == 0;
}

bool isDir(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isReadOnlyFile(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

std::string privateCopy(const std::string& path, std::string* error) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why + ": " + std::strerror(errno);
        return std::string();
    };
    const int in = ::open(path.c_str(), O_RDONLY);
    if (in < 0)
        return fail("it cannot be read");
    const char* tmp = std::getenv("TMPDIR");
    std::string copy = std::string(tmp && *tmp ? tmp : "/tmp") + "/vellrun-quest-XXXXXX";
    const int out = ::mkstemp(&copy[0]);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        errno = e;
        return fail("no copy of it can be made");
    }
    char buf[8192];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
        if (!ok)
            break;
    }
    const int e = errno;
    ::close(in);
    if (::close(out) != 0)
        ok = false;
    if (!ok) {
        ::unlink(copy.c_str());
        errno = e;
        return fail("no copy of it can be made");
    }
    return copy;
}

std::string programFolder() {
    char buf[4096];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return std::string();
    std::string path(buf, static_cast<size_t>(n));
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool changeDir(const std::string& folder) {
    return !folder.empty() && ::chdir(folder.c_str()) == 0;
}

} // namespace vell
