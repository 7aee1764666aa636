#pragma once
// A diagnostic for the frame-pacing benchmark: when the environment names a
// file in CUBESAVER_FRAME_LOG, the main loop notes the start of every frame
// and writes the times (seconds since the first frame, one per line) when
// the saver ends. Nothing is recorded otherwise.
#include <cstdio>
#include <string>
#include <vector>

namespace cs {

class FrameLog {
public:
    FrameLog();
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    bool Enabled() const { return !path_.empty(); }
    void NoteFrameStart(double seconds) {
        if (Enabled() && starts_.size() < kMaxFrames) starts_.push_back(seconds);
    }

private:
    static constexpr std::size_t kMaxFrames = 1 << 20;
    std::string path_;
    std::vector<double> starts_;
};

}  // namespace cs
