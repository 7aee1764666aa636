#include "timing/frame_log.h"

#include <cstdlib>

namespace cs {

FrameLog::FrameLog() {
    if (const char* path = std::getenv("CUBESAVER_FRAME_LOG")) {
        path_ = path;
        lines_.reserve(8192);
        clock_.Start();
    }
}

FrameLog::~FrameLog() {
    if (!Enabled()) return;
    if (FILE* file = std::fopen(path_.c_str(), "w")) {
        for (const std::string& line : lines_) std::fputs(line.c_str(), file);
        std::fclose(file);
    }
}

void FrameLog::FrameStart() {
    if (Enabled()) frame_start_ = static_cast<double>(clock_.ElapsedSeconds());
}

void FrameLog::FrameEnd(bool drawn) {
    if (!Enabled()) return;
    const double now = static_cast<double>(clock_.ElapsedSeconds());
    char line[64];
    std::snprintf(line, sizeof line, "%c %.6f %.6f\n", drawn ? 'F' : 'R', frame_start_, now - frame_start_);
    std::lock_guard<std::mutex> guard(lock_);
    if (lines_.size() < kMaxLines) lines_.emplace_back(line);
}

void FrameLog::Event(char kind, double value) {
    if (!Enabled()) return;
    char line[64];
    std::snprintf(line, sizeof line, "E %c %.6f %.6f\n", kind, static_cast<double>(clock_.ElapsedSeconds()), value);
    std::lock_guard<std::mutex> guard(lock_);
    if (lines_.size() < kMaxLines) lines_.emplace_back(line);
}

FrameLog& Frames() {
    static FrameLog log;
    return log;
}

}  // namespace cs
