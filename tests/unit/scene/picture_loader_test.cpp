// The picture loader: choosing pictures, falling back to the built-in one,
// and the hand-off between the loader thread and the render thread.
#include "scene/picture_loader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/random.h"
#include "scene/resource_pack.h"
#include "scene_test_support.h"

namespace cs {
namespace {

using scene_test::SolidBmp;
using scene_test::TempDir;
using scene_test::WriteFileBytes;

// The system's clock, with its sleeps counted: an idle loader waits for a
// request and never sleeps to look again.
class SleepCountingClock final : public ClockSource {
public:
    bool QueryFrequency(std::int64_t& f) override { return SystemClock().QueryFrequency(f); }
    bool QueryCounter(std::int64_t& c) override { return SystemClock().QueryCounter(c); }
    std::uint32_t TickCount() override { return SystemClock().TickCount(); }
    void Sleep(std::uint32_t ms) override {
        ++sleeps;
        SystemClock().Sleep(ms);
    }
    std::atomic<int> sleeps{0};
};

// Resources holding a 4 x 4 magenta DEFAULT.TEX.
const MemoryResourceStore& Resources() {
    static const MemoryResourceStore store = [] {
        MemoryResourceStore s;
        Texture def;
        std::vector<std::uint8_t> pixels;
        for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), {255, 0, 255});
        def.SetPixels(4, 4, 3, std::move(pixels));
        std::vector<std::uint8_t> pack;
        WriteResourcePack(def, pack);
        s.Add("DEFAULT.TEX", std::move(pack));
        return s;
    }();
    return store;
}

// The colour of a texture's centre texel.
std::array<int, 3> Centre(const Texture& t) {
    const std::size_t i = (static_cast<std::size_t>(t.Height() / 2) * t.Width() + t.Width() / 2) * t.Channels();
    return {t.Pixels()[i], t.Pixels()[i + 1], t.Pixels()[i + 2]};
}

class PictureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        SeedRandom(99);
        WriteFileBytes(dir.Path("red.bmp"), SolidBmp(8, 6, 255, 0, 0));
        WriteFileBytes(dir.Path("green.bmp"), SolidBmp(6, 8, 0, 255, 0));
        WriteFileBytes(dir.Path("blue.bmp"), SolidBmp(8, 8, 0, 0, 255));
        WriteFileBytes(dir.Path("corrupt.bmp"), {'B', 'M', 1, 2, 3});
        handoff.options.texture_size = 16;
    }
    Status Load(Texture& t, bool first = false) { return LoadNextPicture(handoff, &t, first, clock, Resources()); }

    TempDir dir;
    SleepCountingClock clock;
    PictureHandOff handoff;
};

TEST_F(PictureLoaderTest, InOrderWrapsAndFirstPictureModeDoesNotAdvance) {
    for (const char* name : {"red.bmp", "green.bmp", "blue.bmp"}) handoff.pictures.Append(dir.Path(name));
    Texture t;
    ASSERT_EQ(Load(t, true), status::kOk);
    EXPECT_EQ(Centre(t), (std::array<int, 3>{255, 0, 0}));
    const std::array<std::array<int, 3>, 4> expected = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 0}}};
    for (const auto& colour : expected) {
        ASSERT_EQ(Load(t), status::kOk);
        EXPECT_EQ(t.Width(), 16);
        EXPECT_EQ(t.Height(), 16);
        EXPECT_EQ(Centre(t), colour);
    }
}

TEST_F(PictureLoaderTest, ShuffleShowsEachOncePerPass) {
    for (const char* name : {"red.bmp", "green.bmp", "blue.bmp"}) handoff.pictures.Append(dir.Path(name));
    handoff.pictures.SetRandomize(true);
    for (int pass = 0; pass < 5; ++pass) {
        std::set<std::array<int, 3>> seen;
        for (int i = 0; i < 3; ++i) {
            Texture t;
            ASSERT_EQ(Load(t), status::kOk);
            seen.insert(Centre(t));
        }
        EXPECT_EQ(seen.size(), 3u) << "pass " << pass;
    }
}

// Cubes on several monitors deal from one list: each load takes the next
// picture, whichever cube asks, and a shuffled pass is shared by all.
TEST_F(PictureLoaderTest, CubesSharingAListEachTakeTheNextPicture) {
    for (const char* name : {"red.bmp", "green.bmp", "blue.bmp"}) handoff.pictures.Append(dir.Path(name));
    auto first = std::make_shared<PictureHandOff>();
    first->options.texture_size = 16;
    first->pictures = handoff.pictures;
    PictureHandOff second;
    second.options.texture_size = 16;
    second.deck = first;
    const std::array<std::array<int, 3>, 4> expected = {{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 0}}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        Texture t;
        ASSERT_EQ(LoadNextPicture(i % 2 ? second : *first, &t, false, clock, Resources()), status::kOk);
        EXPECT_EQ(Centre(t), expected[i]) << i;
    }
    EXPECT_EQ(second.pictures.Count(), 0u);  // the second cube has no list of its own

    first->pictures.SetRandomize(true);
    for (int pass = 0; pass < 4; ++pass) {
        std::set<std::array<int, 3>> seen;
        for (int i = 0; i < 3; ++i) {
            Texture t;
            ASSERT_EQ(LoadNextPicture((pass + i) % 2 ? second : *first, &t, false, clock, Resources()), status::kOk);
            seen.insert(Centre(t));
        }
        EXPECT_EQ(seen.size(), 3u) << "pass " << pass;
    }
}

TEST_F(PictureLoaderTest, TwoLoaderThreadsDealFromOneList) {
    auto first = std::make_shared<PictureHandOff>();
    for (const char* name : {"red.bmp", "green.bmp", "blue.bmp"}) first->pictures.Append(dir.Path(name));
    first->pictures.SetRandomize(true);
    PictureHandOff second;
    second.deck = first;
    std::thread other([&] {
        for (int i = 0; i < 20; ++i) {
            Texture t;
            LoadNextPicture(second, &t, false, clock, Resources());
            second.shown_pick = second.last_pick;
            CountShownPicture(second, clock);
        }
    });
    for (int i = 0; i < 20; ++i) {
        Texture t;
        EXPECT_EQ(LoadNextPicture(*first, &t, false, clock, Resources()), status::kOk);
    }
    other.join();
}

TEST_F(PictureLoaderTest, CorruptMissingOrNoPictureGivesTheDefault) {
    Texture t;
    EXPECT_EQ(Load(t), status::kOk);  // empty list
    EXPECT_EQ(t.Name(), DefaultPictureName());
    EXPECT_EQ(t.Width(), 16);
    EXPECT_EQ(Centre(t), (std::array<int, 3>{255, 0, 255}));

    handoff.pictures.Append(dir.Path("corrupt.bmp"));
    handoff.pictures.Append(dir.Path("does-not-exist.jpg"));
    for (int i = 0; i < 4; ++i) {
        Texture u;
        EXPECT_EQ(Load(u), status::kOk);
        EXPECT_EQ(u.Name(), DefaultPictureName());
        EXPECT_EQ(Centre(u), (std::array<int, 3>{255, 0, 255}));
    }
    EXPECT_EQ(LoadNextPicture(handoff, nullptr, false, clock, Resources()), status::kPointer);

    // Without the built-in picture the reading failure is reported.
    MemoryResourceStore none;
    Texture v;
    EXPECT_LT(LoadNextPicture(handoff, &v, false, clock, none), 0);
}

TEST_F(PictureLoaderTest, LetterboxUsesTheBorderColour) {
    handoff.pictures.Append(dir.Path("red.bmp"));  // 8 x 6: bars top and bottom
    BorderFromBackground(0x00FEFD01, handoff.options.border);
    EXPECT_EQ(handoff.options.border[0], 4);
    EXPECT_EQ(handoff.options.border[1], 253);  // 253 and above stay
    EXPECT_EQ(handoff.options.border[2], 254);
    Texture t;
    ASSERT_EQ(Load(t), status::kOk);
    EXPECT_EQ(t.Pixels()[0], 4);
    EXPECT_EQ(t.Pixels()[1], 253);
    EXPECT_EQ(t.Pixels()[2], 254);
}

// The render thread's side of a switch, as the scene does it.
bool TakePending(PictureHandOff& h, std::unique_ptr<Texture>& face) {
    if (!h.ready.load()) return false;
    std::lock_guard<std::mutex> guard(h.lock);
    face = std::move(h.pending);
    h.pending = std::make_unique<Texture>();
    h.ready.store(false);
    h.load_state.store(0);
    return true;
}

TEST_F(PictureLoaderTest, ManySwitchesAgainstTheLoaderThread) {
    PictureLoader loader(clock, Resources());
    for (const char* name : {"red.bmp", "green.bmp", "blue.bmp", "corrupt.bmp"}) loader.Pictures().Append(dir.Path(name));
    loader.HandOff().options.texture_size = 16;
    ASSERT_TRUE(loader.Start());
    PictureHandOff& h = loader.HandOff();
    std::unique_ptr<Texture> face;
    int switches = 0, defaults = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (switches < 300 && std::chrono::steady_clock::now() < deadline) {
        if (TakePending(h, face)) {
            ++switches;
            ASSERT_TRUE(face->HasPixels());
            ASSERT_EQ(face->Width(), 16);
            if (face->Name() == DefaultPictureName()) ++defaults;
            h.AskForNext();
        }
        loader.SetPriority(switches % 2 ? LoaderPriority::Lowest : LoaderPriority::Normal);
        std::this_thread::yield();
    }
    loader.Stop();
    EXPECT_FALSE(loader.Running());
    EXPECT_EQ(switches, 300);
    EXPECT_EQ(defaults, 75);  // every fourth picture is the corrupt one
    EXPECT_EQ(clock.sleeps.load(), 0);
}

TEST_F(PictureLoaderTest, StopEndsAnIdleThreadAndSurvivesRepeats) {
    PictureLoader loader(clock, Resources());
    loader.HandOff().options.texture_size = 8;
    ASSERT_TRUE(loader.Start());
    while (!loader.HandOff().ready.load()) std::this_thread::yield();
    loader.Stop();
    EXPECT_FALSE(loader.Running());
    loader.Stop();  // nothing left to stop
}

TEST_F(PictureLoaderTest, StopDuringALongDecodeLeavesTheThreadItsOwnState) {
    WriteFileBytes(dir.Path("big.bmp"), SolidBmp(2500, 2500, 10, 20, 30));
    std::weak_ptr<const PictureHandOff> watch;
    {
        PictureLoader loader(SystemClock(), Resources());
        loader.Pictures().Append(dir.Path("big.bmp"));
        loader.HandOff().options.texture_size = 64;
        watch = loader.Watch();
        ASSERT_TRUE(loader.Start());
        while (loader.HandOff().load_state.load() == 0) std::this_thread::yield();
        loader.Stop(std::chrono::milliseconds(0));  // gives up at once: the decode is still running
    }
    // The loader is gone; the thread finishes its decode on the state it
    // shares and then lets go of it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!watch.expired() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace cs
