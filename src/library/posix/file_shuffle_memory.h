#pragma once
// The picture shuffle's memory in a file of its own: on Linux, under
// $XDG_STATE_HOME/cubesaver/ (~/.local/state/cubesaver/ by default).
#include <string>

#include "library/shuffle_memory.h"

namespace cs {

class FileShuffleMemory final : public ShuffleMemory {
public:
    explicit FileShuffleMemory(std::string path) : path_(std::move(path)) {}
    // None when the file is missing, unreadable or damaged.
    std::optional<ShuffleState> Load() override;
    // Written beside and renamed into place, so that a run that is killed
    // while it writes leaves the old state, never half a new one. Silent on
    // failure: the next run then starts a new cycle.
    void Save(const ShuffleState& state) override;

    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The memory's file from the environment: $XDG_STATE_HOME, else
// $HOME/.local/state, then cubesaver/shuffle. Empty when neither is set.
std::string DefaultShuffleFile();

}  // namespace cs
