// A stand-in for the game program, put beside vellconf in the tests. It
// notes its parent as it starts, waits until the program that started it
// has ended, then writes how it was started into "started.txt" in its
// working folder, one "name value" line each, and ends.
//
// The test that starts the launcher is a child subreaper and names itself in
// VELL_STANDIN_REAPER: the launcher has ended exactly when this program has
// been handed to the test. On a busy machine the launcher may end before
// this program runs at all; its first parent is then the test already.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    const pid_t parent = ::getppid();
    const char* reaperText = std::getenv("VELL_STANDIN_REAPER");
    const pid_t reaper = reaperText ? static_cast<pid_t>(std::atol(reaperText)) : 1;
    // The event, not a time: the guard only keeps a broken launcher from
    // leaving this program behind for ever.
    bool parentGone = false;
    for (int i = 0; i < 20 * 120 && !parentGone; ++i) {
        parentGone = ::getppid() == reaper || ::getppid() == 1;
        if (!parentGone)
            ::usleep(50 * 1000);
    }

    FILE* f = std::fopen("started.txt.part", "w");
    if (!f)
        return 1;
    char cwd[4096] = "";
    if (!::getcwd(cwd, sizeof cwd))
        cwd[0] = 0;
    std::fprintf(f, "cwd %s\n", cwd);
    std::fprintf(f, "argc %d\n", argc);
    for (int i = 0; i < argc; ++i)
        std::fprintf(f, "arg%d %s\n", i, argv[i]);
    std::fprintf(f, "pid %d\n", int(::getpid()));
    std::fprintf(f, "sid %d\n", int(::getsid(0)));
    std::fprintf(f, "firstParent %d\n", int(parent));
    std::fprintf(f, "parentGone %d\n", parentGone ? 1 : 0);
    std::fprintf(f, "reaper %d\n", int(reaper));

    sigset_t blocked;
    sigemptyset(&blocked);
    ::sigprocmask(SIG_BLOCK, nullptr, &blocked);
    int blockedCount = 0, ignoredCount = 0;
    for (int sig = 1; sig < 32; ++sig) {
        if (sigismember(&blocked, sig))
            ++blockedCount;
        struct sigaction sa {};
        if (::sigaction(sig, nullptr, &sa) == 0 && sa.sa_handler == SIG_IGN)
            ++ignoredCount;
    }
    std::fprintf(f, "blocked %d\n", blockedCount);
    std::fprintf(f, "ignored %d\n", ignoredCount);
    std::fclose(f);
    // Whole or not at all for the test that waits for it.
    return std::rename("started.txt.part", "started.txt") == 0 ? 0 : 1;
}
