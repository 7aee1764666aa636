#include "scene/picture_loader.h"

#include "base/encoded_text.h"
#include "base/random.h"
#include "imaging/system_codecs.h"
#include "scene/texture_loading.h"
#include "timing/frame_log.h"

namespace cs {
namespace {
constexpr EncodedText kDefaultPictureName("Cube Saver");
constexpr EncodedText kDefaultPictureResource("DEFAULT.TEX");
}  // namespace

void PictureHandOff::Raise(std::atomic<bool>& flag) {
    // Raised under the wake lock, so that a loader between its check and
    // its sleep cannot miss it.
    {
        std::lock_guard<std::mutex> guard(wake_lock_);
        flag.store(true);
    }
    wake_.notify_all();
}

void PictureHandOff::WaitForRequest() {
    std::unique_lock<std::mutex> guard(wake_lock_);
    wake_.wait(guard, [this] { return load_next.load() || quit.load(); });
}

void PictureHandOff::MarkEnded() {
    {
        std::lock_guard<std::mutex> guard(wake_lock_);
        running.store(false);
    }
    wake_.notify_all();
}

bool PictureHandOff::WaitForEnd(std::chrono::milliseconds patience) {
    std::unique_lock<std::mutex> guard(wake_lock_);
    return wake_.wait_for(guard, patience, [this] { return !running.load(); });
}

void BorderFromBackground(std::int32_t color, std::uint8_t border[3]) {
    for (int i = 0; i < 3; ++i) {
        const int channel = (static_cast<std::uint32_t>(color) >> (8 * i)) & 0xFF;
        border[i] = static_cast<std::uint8_t>(channel < 253 ? channel + 3 : channel);
    }
}

std::string DefaultPictureName() { return kDefaultPictureName.Decode(); }

PictureHandOff& DeckOf(PictureHandOff& handoff) { return handoff.deck ? *handoff.deck : handoff; }

namespace {

// The next picture's path, picked from the deck under its list lock, so
// that the cubes sharing a list each get a picture of their own.
std::optional<std::string> PickNextPicture(PictureHandOff& handoff, bool first_picture, ClockSource& clock) {
    PictureHandOff& deck = DeckOf(handoff);
    std::lock_guard<std::mutex> guard(deck.list_lock);
    PathList& list = deck.pictures;
    handoff.last_pick = -1;
    if (first_picture) return list.Empty() ? std::nullopt : std::optional<std::string>(list.Entries().front());
    if (!list.Randomize()) return list.NextInOrder();
    std::optional<std::string> path = list.NextShuffled(clock.TickCount());
    if (list.Remembers()) handoff.last_pick = list.LastPicked();
    return path;
}

// Counts a picture as shown in the deck's list; a shuffle cycle shared by
// several cubes counts each picture once, whichever cube showed it.
void MarkShownInDeck(PictureHandOff& handoff, std::int32_t pick, ClockSource& clock) {
    PictureHandOff& deck = DeckOf(handoff);
    std::lock_guard<std::mutex> guard(deck.list_lock);
    deck.pictures.MarkShown(pick, FreshShuffleSeed(clock));
}

}  // namespace

Status LoadNextPicture(PictureHandOff& handoff, Texture* texture, bool first_picture, ClockSource& clock,
                       const ResourceStore& resources) {
    if (!texture) return status::kPointer;
    const std::optional<std::string> path = PickNextPicture(handoff, first_picture, clock);

    const PictureLoadOptions& o = handoff.options;
    if (path && Succeeded(LoadPictureTexture(texture, path->c_str(), o.texture_size, o.texture_size, o.border[0],
                                             o.border[1], o.border[2], o.letterbox, true, false, resources)))
        return status::kOk;

    // Unreadable, missing or no picture at all: the built-in one.
    const std::string resource = kDefaultPictureResource.Decode();
    const Status read = FindNamedTexture(texture, resource.c_str(), resources);
    texture->SetName(DefaultPictureName());
    if (Succeeded(read)) ResampleTexture(texture, o.texture_size, o.texture_size, true, false);
    return read;
}

std::uint32_t FreshShuffleSeed(ClockSource& clock) {
    return (static_cast<std::uint32_t>(NextRandom()) << 16) ^ clock.TickCount();
}

void CountShownPicture(PictureHandOff& h, ClockSource& clock) {
    if (h.shown_pick < 0) return;
    try {
        MarkShownInDeck(h, h.shown_pick, clock);
    } catch (...) {
        // A new cycle found no memory: the next run starts one again.
    }
    h.shown_pick = -1;
}

void RunPictureLoader(const std::shared_ptr<PictureHandOff>& shared, ClockSource& clock,
                      const ResourceStore& resources) noexcept {
    PictureHandOff& h = *shared;
    if (!h.completion.bound) {
        // A large library is listed here, after the first picture is up.
        try {
            PathList rest;
            if (!ListRemaining(h.completion, rest, &h.quit)) {
                h.MarkEnded();
                return;
            }
            std::lock_guard<std::mutex> guard(h.lock);
            std::lock_guard<std::mutex> list_guard(h.list_lock);
            CompleteList(h.pictures, std::move(rest), h.completion, FreshShuffleSeed(clock));
            Frames().Event('C', static_cast<double>(h.pictures.Count()));
        } catch (...) {
            // Out of memory: go on with the pictures listed so far.
            h.completion.bound = true;
        }
    }
    while (!h.quit.load()) {
        h.load_state.store(1);
        {
            std::lock_guard<std::mutex> guard(h.lock);
            try {
                CountShownPicture(h, clock);
                LoadNextPicture(h, h.pending.get(), false, clock, resources);
                h.pending_pick = h.last_pick;
                ++h.generation;
            } catch (...) {
                // Nothing may leave the thread; an allocation failure leaves
                // the texture as the decoder left it (empty).
            }
            h.load_state.store(2);
            h.ready.store(true);
        }
        h.WaitForRequest();
        h.load_next.store(false);
    }
    h.MarkEnded();
}

PictureLoader::PictureLoader(ClockSource& clock, const ResourceStore& resources)
    : clock_(&clock), resources_(&resources) {}

PictureLoader::~PictureLoader() { Stop(); }

Status PictureLoader::LoadNow(Texture* texture, bool first_picture) {
    const Status status = LoadNextPicture(*handoff_, texture, first_picture, *clock_, *resources_);
    MarkShownInDeck(*handoff_, handoff_->last_pick, *clock_);
    return status;
}

bool PictureLoader::Start() {
    if (thread_.joinable()) return true;
    handoff_->quit.store(false);
    handoff_->running.store(true);
    priority_.reset();
    try {
        thread_ = std::thread([shared = handoff_, clock = clock_, resources = resources_] {
            NameThisThreadAsLoader();
            const DecodingThread decoding;
            RunPictureLoader(shared, *clock, *resources);
        });
    } catch (...) {
        handoff_->running.store(false);
        return false;
    }
    SetPriority(LoaderPriority::BelowNormal);
    return true;
}

void PictureLoader::Stop(std::chrono::milliseconds patience) {
    if (!thread_.joinable()) return;
    handoff_->AskToQuit();
    if (!handoff_->WaitForEnd(patience)) {
        thread_.detach();
    } else {
        thread_.join();
        // The last picture handed over still counts for the next run.
        CountShownPicture(*handoff_, *clock_);
    }
}

void PictureLoader::SetPriority(LoaderPriority priority) {
    if (!thread_.joinable() || priority_ == priority) return;
    SetLoaderThreadPriority(thread_, priority);
    priority_ = priority;
}

}  // namespace cs
