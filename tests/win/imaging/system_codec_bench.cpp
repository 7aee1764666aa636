// Times one picture through the system's codecs, as the texture loader
// decodes it (fitted into SIZE x SIZE, reduced first) or whole at 32 bits,
// and reports the process's peak memory beside the peak before the first
// decode. For scripts/bench/system_codecs.sh.
//   system_codec_bench texture|whole FILE SIZE REPEATS
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/pl_exception.h"
#include "imaging/system_codecs.h"
#include "imaging/win32/wic_codecs.h"

namespace {

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace cs;
    if (argc != 5) {
        std::fprintf(stderr, "usage: system_codec_bench texture|whole FILE SIZE REPEATS\n");
        return 2;
    }
    const bool texture = std::strcmp(argv[1], "texture") == 0;
    const int size = std::atoi(argv[3]);
    const int repeats = std::max(1, std::atoi(argv[4]));
    InstallSystemCodecs(MakeWicCodecs());
    const DecodingThread decoding;
    const double before = PeakMegabytes();
    std::vector<double> times;
    int width = 0, height = 0;
    for (int i = 0; i < repeats; ++i) {
        PlainBitmap bitmap;
        const auto start = std::chrono::steady_clock::now();
        try {
            AutoDecoder decoder;
            if (texture) {
                decoder.DecodeUprightFromFile(argv[2], bitmap, [&](std::int32_t w, std::int32_t h) {
                    const double scale = std::min(1.0, std::min(double(size) / w, double(size) / h));
                    return PictureSize{std::max(1, int(w * scale)), std::max(1, int(h * scale))};
                });
            } else {
                decoder.DecodeFromFile(argv[2], bitmap, 32);
            }
        } catch (const PLTextException& e) {
            std::fprintf(stderr, "%s: %s\n", argv[2], e.GetText());
            return 1;
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        width = bitmap.Width();
        height = bitmap.Height();
    }
    std::sort(times.begin(), times.end());
    std::printf("%s %dx%d median_ms %.1f peak_mb %.1f before_mb %.1f\n", argv[1], width, height,
                times[times.size() / 2], PeakMegabytes(), before);
    return 0;
}
