#pragma once
// picturetool's subcommands. Each lives in its own source file and registers
// itself with a file-scope CommandRegistration, so adding one needs no edit
// elsewhere (see CMakeLists.txt for how optional command files are picked up).
#include <span>
#include <string>

namespace picturetool {

// Exit codes shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;  // the command ran and failed (decoder error, unwritable output)
inline constexpr int kExitUsage = 64;   // bad usage

struct Command {
    const char* name;
    const char* usage;  // the arguments after the name, e.g. "FILE OUT.pam"
    // args: the arguments after the command name.
    int (*run)(std::span<char* const> args);
};

void RegisterCommand(const Command& command);

struct CommandRegistration {
    explicit CommandRegistration(const Command& command) { RegisterCommand(command); }
};

// Prints "usage: picturetool NAME USAGE" to stderr and returns kExitUsage.
int UsageError(const Command& command);

}  // namespace picturetool
