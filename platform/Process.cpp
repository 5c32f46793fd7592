#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <unistd.h>

extern char** environ;

namespace vell {
namespace {

// posix_spawn attributes: a new session, an empty signal mask, default
// dispositions for every signal (ignored ones survive an exec otherwise).
class SpawnAttr {
public:
    SpawnAttr() { ok_ = ::posix_spawnattr_init(&attr_) == 0; }
    ~SpawnAttr() {
        if (ok_)
            ::posix_spawnattr_destroy(&attr_);
    }
    SpawnAttr(const SpawnAttr&) = delete;
    SpawnAttr& operator=(const SpawnAttr&) = delete;

    // 0, or the error number.
    int detach() {
        if (!ok_)
            return ENOMEM;
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        int rc = ::posix_spawnattr_setsigmask(&attr_, &none);
        if (rc == 0)
            rc = ::posix_spawnattr_setsigdefault(&attr_, &all);
        if (rc == 0)
            rc = ::posix_spawnattr_setflags(
                &attr_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        return rc;
    }
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
    bool ok_ = false;
};

} // namespace

bool startDetached(const std::string& path, const std::vector<std::string>& args, std::string* why) {
    auto fail = [why](int err) {
        if (why)
            *why = std::strerror(err);
        return false;
    };
    if (path.empty())
        return fail(ENOENT);
    SpawnAttr attr;
    if (int rc = attr.detach())
        return fail(rc);
    std::vector<std::string> copy = args.empty() ? std::vector<std::string>{path} : args;
    std::vector<char*> argv;
    for (std::string& a : copy)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    // glibc reports a failing exec (a missing program, no permission) as the
    // result of posix_spawn itself.
    if (int rc = ::posix_spawn(&pid, path.c_str(), nullptr, attr.get(), argv.data(), environ))
        return fail(rc);
    return true;
}

} // namespace vell
