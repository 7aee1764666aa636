// picturetool: host-side access to the decoding layer for scripts and tests.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "command.h"

namespace picturetool {
namespace {

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}

int PrintUsage() {
    std::vector<Command> sorted = Commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const Command& c : sorted) std::fprintf(stderr, "usage: picturetool %s %s\n", c.name, c.usage);
    return kExitUsage;
}

}  // namespace

void RegisterCommand(const Command& command) { Commands().push_back(command); }

int UsageError(const Command& command) {
    std::fprintf(stderr, "usage: picturetool %s %s\n", command.name, command.usage);
    return kExitUsage;
}

}  // namespace picturetool

int main(int argc, char** argv) {
    using namespace picturetool;
    if (argc < 2) return PrintUsage();
    for (const Command& c : Commands()) {
        if (std::strcmp(argv[1], c.name) == 0) return c.run(std::span<char* const>(argv + 2, argv + argc));
    }
    return PrintUsage();
}
