#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "config/memory_settings_store.h"
#include "library/list_completion.h"
#include "library/shuffle_memory.h"

namespace cs {
namespace {

std::vector<std::string> Paths(int count, const std::string& prefix = "C:\\Pictures\\") {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) paths.push_back(prefix + std::to_string(i) + ".jpg");
    return paths;
}

struct Saver {
    MemorySettingsStore settings_key;
    std::shared_ptr<SettingsShuffleMemory> memory =
        std::make_shared<SettingsShuffleMemory>([this] { return settings_key.Handle(); });
    std::uint32_t seeds = 100;

    // One run that shows `shown` pictures, each one reaching the screen.
    std::vector<std::string> Run(const std::vector<std::string>& paths, int shown) {
        PathList list;
        for (const auto& path : paths) list.Append(path);
        list.SetRandomize(true);
        list.RememberShuffle(memory, memory->Load(), ++seeds);
        std::vector<std::string> seen;
        for (int i = 0; i < shown; ++i) {
            seen.push_back(*list.NextShuffled(0));
            list.MarkShown(list.LastPicked(), ++seeds);
        }
        return seen;
    }
};

// Every run of the saver is short; across them each picture still comes once
// before any comes twice.
TEST(ShuffleMemoryTest, EveryPictureOnceAcrossManyShortRuns) {
    Saver saver;
    const auto paths = Paths(50);
    std::mt19937 lengths(7);
    std::vector<std::string> shown;
    while (shown.size() < 160) {
        const auto run = saver.Run(paths, static_cast<int>(lengths() % 9));
        shown.insert(shown.end(), run.begin(), run.end());
    }
    for (std::size_t cycle = 0; cycle + 50 <= shown.size(); cycle += 50) {
        const std::set<std::string> distinct(shown.begin() + cycle, shown.begin() + cycle + 50);
        EXPECT_EQ(distinct.size(), 50u) << "cycle starting at " << cycle;
    }
}

TEST(ShuffleMemoryTest, AChangedListOrDamagedStateStartsANewCycle) {
    Saver saver;
    const auto paths = Paths(12);
    saver.Run(paths, 5);
    ASSERT_EQ(saver.memory->Load()->shown, 5u);

    auto changed = paths;
    changed[3] = "C:\\Pictures\\new.jpg";
    saver.Run(changed, 1);
    EXPECT_EQ(saver.memory->Load()->shown, 1u);
    EXPECT_EQ(saver.memory->Load()->fingerprint, ListFingerprint(changed));

    auto shuffle_key = saver.settings_key.OpenSubkey("Shuffle", false);
    auto* raw = static_cast<MemorySettingsStore*>(shuffle_key.get());
    const auto good = raw->Read("Cycle")->bytes;
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {good.begin(), good.begin() + 10},                 // truncated
        std::vector<std::uint8_t>(good.size(), 0xFF),      // shown past the count
    };
    for (const auto& bytes : damaged) {
        raw->WriteRaw("Cycle", ValueType::Binary, bytes);
        EXPECT_FALSE(saver.memory->Load().has_value());
        EXPECT_EQ(saver.Run(changed, 12).size(), 12u);
    }
    raw->WriteRaw("Cycle", ValueType::Dword, {1, 0, 0, 0});
    EXPECT_FALSE(saver.memory->Load().has_value());
    // A state from a list of another size is not resumed.
    saver.Run(Paths(7), 2);
    EXPECT_EQ(saver.Run(changed, 12).size(), 12u);
    EXPECT_EQ(saver.memory->Load()->count, 12u);
}

class OneFolderLister final : public DirectoryLister {
public:
    bool List(const std::string& folder, std::vector<DirectoryEntry>& entries) override {
        if (folder != "C:\\More\\") return false;
        for (int i = 1; i < 10; ++i) entries.push_back({std::to_string(i) + ".jpg", false});
        return true;
    }
};

// A large library opens with the picture the last run would have shown next,
// before the list is complete, and that picture then counts for the cycle.
TEST(ShuffleMemoryTest, OpeningPictureBeforeTheListIsComplete) {
    std::vector<std::string> paths = {"C:\\0.jpg"};
    for (int i = 1; i < 10; ++i) paths.push_back("C:\\More\\" + std::to_string(i) + ".jpg");
    Saver saver;
    std::vector<std::string> shown = saver.Run(paths, 3);
    const std::string next = saver.memory->Load()->next_path;

    OneFolderLister lister;
    PathList list;
    list.SetRandomize(true);
    ListCompletion completion;
    completion.rest = std::make_unique<ListExpansion>(std::vector<std::string>{"C:\\0.jpg", "C:\\More\\"},
                                                      ExtensionList("jpg"), lister, nullptr);
    completion.rest->RunUntilFirst(list);
    ASSERT_EQ(list.Count(), 1u);
    completion.memory = saver.memory;
    completion.stored = saver.memory->Load();
    PrepareFirstPick(list, completion, 1);
    shown.push_back(*list.NextShuffled(0));
    EXPECT_EQ(shown.back(), next);

    PathList rest;
    ASSERT_TRUE(ListRemaining(completion, rest, nullptr));
    CompleteList(list, std::move(rest), completion, 2);
    ASSERT_TRUE(list.Remembers());
    for (int i = 0; i < 6; ++i) {
        shown.push_back(*list.NextShuffled(0));
        list.MarkShown(list.LastPicked(), 10 + i);
    }
    EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), 10u);
}

}  // namespace
}  // namespace cs
