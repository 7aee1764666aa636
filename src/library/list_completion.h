#pragma once
// What a run's picture list still needs once its first picture is on the
// cube: the folders not yet listed, and the shuffle remembered from earlier
// runs, which can only be bound to the complete list.
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "library/path_list.h"
#include "library/picture_lists.h"
#include "library/shuffle_memory.h"

namespace cs {

struct ListCompletion {
    std::unique_ptr<ListExpansion> rest;  // null once everything is listed
    std::shared_ptr<ShuffleMemory> memory;  // null: each run shuffles afresh
    std::optional<ShuffleState> stored;
    bool bound = false;
};

// Lists the expansion only as far as the first picture into list: the rest
// is the loader's, once the cube is up. With a memory, the shuffle it
// remembers comes along (none: the run shuffles afresh).
ListCompletion BeginPictureList(std::unique_ptr<ListExpansion> expansion, PathList& list,
                                std::shared_ptr<ShuffleMemory> memory);

// Sets the list up for its first pick: a randomized list that is complete
// binds its remembered shuffle now; one still being listed opens with the
// picture the last run would have shown next.
void PrepareFirstPick(PathList& list, ListCompletion& completion, std::uint32_t fresh_seed);

// Lists the rest into a list of its own (slow: call it outside any lock).
// Answers false when stop ended it early.
bool ListRemaining(ListCompletion& completion, PathList& rest, const std::atomic<bool>* stop);

// Appends the rest and binds the remembered shuffle (under the lock that
// guards list).
void CompleteList(PathList& list, PathList&& rest, ListCompletion& completion, std::uint32_t fresh_seed);

}  // namespace cs
