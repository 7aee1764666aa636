// imaging_bench [--jpeg=FILE] [--png=FILE] [benchmark options]
//
// Resize/...: BilinearResize of random pixels, fast and reference paths,
// for a camera-sized reduction and a 4x enlargement; "MPix/s" counts the
// pixels of the larger side (the source of a reduction, the result of an
// enlargement).
// DecodeFit/...: a picture file decoded through AutoDecoder and resized to
// fit 512 x 512 as the texture loader does it (a JPEG's rows resampled as
// they are decoded); DecodeThenFit/... the same bytes made the plain way,
// the whole picture decoded at 32 bits and then resized.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "imaging/auto_decoder.h"
#include "imaging/bilinear_resize.h"
#include "imaging/bitmap.h"

namespace {

using cs::BilinearResize;
using cs::PlainBitmap;
using cs::ResizePath;

void FillRandom(PlainBitmap& b) {
    std::mt19937 rng(7);
    for (std::int32_t y = 0; y < b.Height(); ++y) {
        std::uint8_t* row = b.Row(y);
        for (std::int32_t x = 0; x < b.Width() * 4; x += 4) {
            const std::uint32_t v = rng();
            std::memcpy(row + x, &v, 4);
        }
    }
}

void Resize(benchmark::State& state, int sw, int sh, int dw, int dh, ResizePath path) {
    PlainBitmap source;
    source.Create(sw, sh, 32, false);
    FillRandom(source);
    PlainBitmap target;
    const BilinearResize filter(dw, dh, path);
    for (auto _ : state) {
        filter.Apply(source, target);
        benchmark::DoNotOptimize(target.Row(0));
    }
    const double pixels = std::max(static_cast<double>(sw) * sh, static_cast<double>(dw) * dh);
    state.counters["MPix/s"] = benchmark::Counter(pixels / 1e6 * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}

// The largest size with the picture's proportions inside 512 x 512.
cs::PictureSize FitSize(std::int32_t w, std::int32_t h) {
    const double scale = std::min(512.0 / w, 512.0 / h);
    return {std::max(1, static_cast<int>(std::lround(w * scale))), std::max(1, static_cast<int>(std::lround(h * scale)))};
}

void DecodeFit(benchmark::State& state, std::string file) {
    for (auto _ : state) {
        PlainBitmap picture;
        cs::AutoDecoder decoder;
        decoder.DecodeResizedFromFile(file.c_str(), picture, FitSize);
        benchmark::DoNotOptimize(picture.Row(0));
    }
}

void DecodeThenFit(benchmark::State& state, std::string file) {
    for (auto _ : state) {
        PlainBitmap picture;
        cs::AutoDecoder decoder;
        decoder.DecodeFromFile(file.c_str(), picture, 32);
        const cs::PictureSize size = FitSize(picture.Width(), picture.Height());
        picture.ApplyFilter(BilinearResize(size.width, size.height));
        benchmark::DoNotOptimize(picture.Row(0));
    }
}

void DecodeOnly(benchmark::State& state, std::string file) {
    for (auto _ : state) {
        PlainBitmap picture;
        cs::AutoDecoder decoder;
        decoder.DecodeFromFile(file.c_str(), picture, 32);
        benchmark::DoNotOptimize(picture.Row(0));
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    std::vector<std::pair<std::string, std::string>> files;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--jpeg=", 0) == 0)
            files.emplace_back("jpeg", arg.substr(7));
        else if (arg.rfind("--png=", 0) == 0)
            files.emplace_back("png", arg.substr(6));
        else
            rest.push_back(argv[i]);
    }
    const struct {
        const char* name;
        int sw, sh, dw, dh;
    } sizes[] = {{"6000x4000_to_512x341", 6000, 4000, 512, 341}, {"256x256_to_1024x1024", 256, 256, 1024, 1024}};
    for (const auto& s : sizes) {
        benchmark::RegisterBenchmark((std::string("Resize/") + s.name + "/reference").c_str(), Resize, s.sw, s.sh,
                                     s.dw, s.dh, ResizePath::kReference)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark((std::string("Resize/") + s.name + "/fast").c_str(), Resize, s.sw, s.sh, s.dw,
                                     s.dh, ResizePath::kFast)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    for (const auto& [kind, file] : files) {
        benchmark::RegisterBenchmark(("DecodeFit/" + kind).c_str(), DecodeFit, file)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("DecodeThenFit/" + kind).c_str(), DecodeThenFit, file)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("DecodeOnly/" + kind).c_str(), DecodeOnly, file)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(count, rest.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
