// Starting another program and leaving it to run on its own: the launcher
// hands over to the game this way and ends.
#pragma once
#include <string>
#include <vector>

namespace vell {

// Starts the program at `path` (taken as it is: no shell, no search of PATH)
// with `args` as its argument vector (args[0] is its program name) and the
// caller's environment and working folder. The child leads a session of its
// own, starts with no blocked signals and every signal at its default action,
// and is not waited for. True when it runs; false with the reason in *why
// (for example a missing or non-executable program).
bool startDetached(const std::string& path, const std::vector<std::string>& args, std::string* why);

} // namespace vell
