#include "library/list_completion.h"

namespace cs {
namespace {

void Bind(PathList& list, ListCompletion& completion, std::uint32_t fresh_seed) {
    completion.bound = true;
    if (list.Randomize() && completion.memory) list.RememberShuffle(completion.memory, completion.stored, fresh_seed);
}

}  // namespace

ListCompletion BeginPictureList(std::unique_ptr<ListExpansion> expansion, PathList& list,
                                std::shared_ptr<ShuffleMemory> memory) {
    ListCompletion completion;
    expansion->RunUntilFirst(list);
    completion.rest = std::move(expansion);
    if (memory) {
        completion.stored = memory->Load();
        completion.memory = std::move(memory);
    }
    return completion;
}

void PrepareFirstPick(PathList& list, ListCompletion& completion, std::uint32_t fresh_seed) {
    if (completion.bound) return;
    if (!completion.rest || completion.rest->Done()) {
        completion.rest.reset();
        Bind(list, completion, fresh_seed);
    } else if (list.Randomize() && completion.memory && completion.stored) {
        list.SetOpeningPath(completion.stored->next_path);
    }
}

bool ListRemaining(ListCompletion& completion, PathList& rest, const std::atomic<bool>* stop) {
    if (!completion.rest) return true;
    const bool finished = completion.rest->Finish(rest, stop);
    completion.rest.reset();
    return finished;
}

void CompleteList(PathList& list, PathList&& rest, ListCompletion& completion, std::uint32_t fresh_seed) {
    if (completion.bound) return;
    list.AppendFrom(std::move(rest));
    Bind(list, completion, fresh_seed);
}

}  // namespace cs
