#include "app/frame_log.h"

#include <cstdlib>

namespace cs {

FrameLog::FrameLog() {
    if (const char* path = std::getenv("CUBESAVER_FRAME_LOG")) {
        path_ = path;
        starts_.reserve(4096);
    }
}

FrameLog::~FrameLog() {
    if (!Enabled()) return;
    if (FILE* file = std::fopen(path_.c_str(), "w")) {
        for (double t : starts_) std::fprintf(file, "%.6f\n", t);
        std::fclose(file);
    }
}

}  // namespace cs
