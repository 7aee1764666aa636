#pragma once
// A diagnostic for the benchmarks: when the environment names a file in
// CUBESAVER_FRAME_LOG, the main loop notes when every frame starts and how
// long it takes, and the scene notes its events (face switches); the lines
// are written when the program ends. Nothing is recorded otherwise. The
// clock starts with the first use, which start-up makes at once. A frame
// that found nothing changed and drew nothing is an R line.
//   F <start seconds> <duration seconds>
//   R <start seconds> <duration seconds>
//   E <kind> <seconds> <value>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "timing/stopwatch.h"

namespace cs {

class FrameLog {
public:
    FrameLog();
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    bool Enabled() const { return !path_.empty(); }
    void FrameStart();
    void FrameEnd(bool drawn);
    void Event(char kind, double value);

private:
    static constexpr std::size_t kMaxLines = 1 << 20;
    std::string path_;
    Stopwatch clock_;
    double frame_start_ = 0;
    std::mutex lock_;
    std::vector<std::string> lines_;
};

// The process's log.
FrameLog& Frames();

}  // namespace cs
