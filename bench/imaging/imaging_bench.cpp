// imaging_bench [--jpeg=FILE] [--png=FILE] [benchmark options]
//
// Resize/...: BilinearResize of random pixels, fast and reference paths,
// for a camera-sized reduction and a 4x enlargement; "MPix/s" counts the
// pixels of the larger side (the source of a reduction, the result of an
// enlargement).
// DecodeFit/...: a picture file decoded through AutoDecoder and resized to
// fit 512 x 512, its rows resampled as they are decoded, at the whole size;
// DecodeFitReduced/... the same as the texture loader does it, a JPEG
// decoded at a fraction of its size first (DCT scaling; where 1/8 would do,
// at 1/4 from the blocks' lowest coefficients); DecodeThenFit/...
// the plain way, the whole picture decoded at 32 bits and then resized.
//
// imaging_bench --faithfulness --jpeg=FILE prints how close both fitted
// JPEGs come to two careful reductions of the whole decode, both in floating
// point: an exact area average, and a Lanczos (3 lobes) reduction, the usual
// high-quality filter, which unlike the area average lets nothing beyond the
// new size's resolution fold back. Four peak signal-to-noise ratios in dB:
// the whole-size path and the reduced one against the area average, then
// both against the Lanczos reduction.
// imaging_bench --fit=reduced|full --jpeg=FILE fits the picture the texture
// loader's way (or with its rows resampled at the whole size) twice and
// prints the wall and processor milliseconds of the second fit: the cost of
// a picture in a loader that is already running, timed turn about with
// djpeg by the benchmark script.
// imaging_bench --peak=none|streamed|whole --png=FILE fits the PNG once,
// rows streamed into the resampler or decoded whole first (or not at all),
// and prints the process's peak resident memory in kB.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <random>
#include <string>
#include <utility>
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

void FitStreamed(const std::string& file, PlainBitmap& picture, cs::DecodeScale scale) {
    cs::AutoDecoder decoder;
    decoder.DecodeResizedFromFile(file.c_str(), picture, FitSize, nullptr, scale);
}

void FitWhole(const std::string& file, PlainBitmap& picture) {
    cs::AutoDecoder decoder;
    decoder.DecodeFromFile(file.c_str(), picture, 32);
    const cs::PictureSize size = FitSize(picture.Width(), picture.Height());
    picture.ApplyFilter(BilinearResize(size.width, size.height));
}

void DecodeFit(benchmark::State& state, std::string file, cs::DecodeScale scale) {
    for (auto _ : state) {
        PlainBitmap picture;
        FitStreamed(file, picture, scale);
        benchmark::DoNotOptimize(picture.Row(0));
    }
}

void DecodeThenFit(benchmark::State& state, std::string file) {
    for (auto _ : state) {
        PlainBitmap picture;
        FitWhole(file, picture);
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

// The whole picture reduced to w x h by averaging, for each target pixel,
// the source area it covers (fractional edges weighted), in double
// precision: the careful reduction both fitted pictures are held to.
std::vector<double> AreaAverage(const PlainBitmap& source, int w, int h) {
    const double sx = static_cast<double>(source.Width()) / w;
    const double sy = static_cast<double>(source.Height()) / h;
    // Horizontal pass into rows of w pixels, then vertical.
    std::vector<double> across(static_cast<std::size_t>(source.Height()) * w * 3, 0.0);
    for (std::int32_t y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Row(y);
        for (int x = 0; x < w; ++x) {
            const double left = x * sx;
            const double right = left + sx;
            double* out = &across[(static_cast<std::size_t>(y) * w + x) * 3];
            for (auto i = static_cast<std::int32_t>(left); i < right && i < source.Width(); ++i) {
                const double weight = std::min<double>(i + 1, right) - std::max<double>(i, left);
                for (int c = 0; c < 3; ++c) out[c] += weight * row[i * 4 + c];
            }
            for (int c = 0; c < 3; ++c) out[c] /= sx;
        }
    }
    std::vector<double> result(static_cast<std::size_t>(w) * h * 3, 0.0);
    for (int y = 0; y < h; ++y) {
        const double top = y * sy;
        const double bottom = top + sy;
        for (auto j = static_cast<std::int32_t>(top); j < bottom && j < source.Height(); ++j) {
            const double weight = std::min<double>(j + 1, bottom) - std::max<double>(j, top);
            for (std::size_t k = 0; k < static_cast<std::size_t>(w) * 3; ++k)
                result[static_cast<std::size_t>(y) * w * 3 + k] += weight * across[static_cast<std::size_t>(j) * w * 3 + k] / sy;
        }
    }
    return result;
}

// The whole picture reduced to w x h with a Lanczos kernel of 3 lobes
// stretched to the reduction, each new pixel's weights normalised.
std::vector<double> LanczosReduction(const PlainBitmap& source, int w, int h) {
    const auto kernel = [](double x) {
        if (x == 0.0) return 1.0;
        if (std::fabs(x) >= 3.0) return 0.0;
        const double px = std::numbers::pi * x;
        return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
    };
    // Each new pixel's first old pixel and weights, old length to new length.
    const auto pass = [&](int old_length, int new_length) {
        const double scale = static_cast<double>(old_length) / new_length;
        std::vector<std::pair<int, std::vector<double>>> table;
        for (int i = 0; i < new_length; ++i) {
            const double centre = (i + 0.5) * scale;
            const int first = std::max(0, static_cast<int>(std::floor(centre - 3.0 * scale)));
            const int last = std::min(old_length - 1, static_cast<int>(std::ceil(centre + 3.0 * scale)));
            std::vector<double> weights;
            double total = 0.0;
            for (int j = first; j <= last; ++j) {
                weights.push_back(kernel((j + 0.5 - centre) / scale));
                total += weights.back();
            }
            for (double& weight : weights) weight /= total;
            table.emplace_back(first, std::move(weights));
        }
        return table;
    };
    const auto across = pass(source.Width(), w);
    const auto down = pass(source.Height(), h);
    std::vector<double> rows(static_cast<std::size_t>(source.Height()) * w * 3, 0.0);
    for (std::int32_t y = 0; y < source.Height(); ++y) {
        const std::uint8_t* row = source.Row(y);
        for (int x = 0; x < w; ++x) {
            double* out = &rows[(static_cast<std::size_t>(y) * w + x) * 3];
            const auto& [first, weights] = across[static_cast<std::size_t>(x)];
            for (std::size_t k = 0; k < weights.size(); ++k)
                for (int c = 0; c < 3; ++c) out[c] += weights[k] * row[(first + static_cast<int>(k)) * 4 + c];
        }
    }
    std::vector<double> result(static_cast<std::size_t>(w) * h * 3, 0.0);
    for (int y = 0; y < h; ++y) {
        const auto& [first, weights] = down[static_cast<std::size_t>(y)];
        for (std::size_t k = 0; k < weights.size(); ++k)
            for (std::size_t v = 0; v < static_cast<std::size_t>(w) * 3; ++v)
                result[static_cast<std::size_t>(y) * w * 3 + v] +=
                    weights[k] * rows[(static_cast<std::size_t>(first) + k) * w * 3 + v];
    }
    // Rounded to bytes, as any reduction to a picture is.
    for (double& v : result) v = std::clamp(std::round(v), 0.0, 255.0);
    return result;
}

double Psnr(const std::vector<double>& reference, const PlainBitmap& picture) {
    double squares = 0.0;
    const int w = picture.Width();
    for (std::int32_t y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                const double d = picture.Row(y)[x * 4 + c] - reference[(static_cast<std::size_t>(y) * w + x) * 3 + c];
                squares += d * d;
            }
    const double mean = squares / (static_cast<double>(w) * picture.Height() * 3);
    return 10.0 * std::log10(255.0 * 255.0 / mean);
}

int Faithfulness(const std::string& file) {
    PlainBitmap whole;
    cs::AutoDecoder().DecodeFromFile(file.c_str(), whole, 32);
    const cs::PictureSize size = FitSize(whole.Width(), whole.Height());
    const std::vector<double> area = AreaAverage(whole, size.width, size.height);
    const std::vector<double> lanczos = LanczosReduction(whole, size.width, size.height);
    PlainBitmap full;
    PlainBitmap reduced;
    FitStreamed(file, full, cs::DecodeScale::kFull);
    FitStreamed(file, reduced, cs::DecodeScale::kReduced);
    std::printf("%.2f %.2f %.2f %.2f\n", Psnr(area, full), Psnr(area, reduced), Psnr(lanczos, full),
                Psnr(lanczos, reduced));
    return 0;
}

int PeakMemory(const std::string& how, const std::string& file) {
    PlainBitmap picture;
    if (how == "streamed")
        FitStreamed(file, picture, cs::DecodeScale::kReduced);
    else if (how == "whole")
        FitWhole(file, picture);
    else if (how != "none")
        return 2;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    std::vector<std::pair<std::string, std::string>> files;
    bool faithfulness = false;
    std::string peak;
    std::string fit;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--jpeg=", 0) == 0)
            files.emplace_back("jpeg", arg.substr(7));
        else if (arg.rfind("--progressive=", 0) == 0)
            files.emplace_back("progressive", arg.substr(14));
        else if (arg.rfind("--png=", 0) == 0)
            files.emplace_back("png", arg.substr(6));
        else if (arg == "--faithfulness")
            faithfulness = true;
        else if (arg.rfind("--peak=", 0) == 0)
            peak = arg.substr(7);
        else if (arg.rfind("--fit=", 0) == 0)
            fit = arg.substr(6);
        else
            rest.push_back(argv[i]);
    }
    if (!fit.empty() && files.size() == 1) {
        if (fit != "reduced" && fit != "full") return 2;
        const cs::DecodeScale scale = fit == "reduced" ? cs::DecodeScale::kReduced : cs::DecodeScale::kFull;
        PlainBitmap warm;
        FitStreamed(files[0].second, warm, scale);
        const auto now = [](clockid_t clock) {
            timespec t{};
            clock_gettime(clock, &t);
            return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
        };
        const double wall = now(CLOCK_MONOTONIC);
        const double cpu = now(CLOCK_PROCESS_CPUTIME_ID);
        PlainBitmap picture;
        FitStreamed(files[0].second, picture, scale);
        std::printf("%.1f %.1f\n", now(CLOCK_MONOTONIC) - wall, now(CLOCK_PROCESS_CPUTIME_ID) - cpu);
        return 0;
    }
    if ((faithfulness || !peak.empty()) && files.size() == 1)
        return faithfulness ? Faithfulness(files[0].second) : PeakMemory(peak, files[0].second);
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
        benchmark::RegisterBenchmark(("DecodeFit/" + kind).c_str(), DecodeFit, file, cs::DecodeScale::kFull)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("DecodeFitReduced/" + kind).c_str(), DecodeFit, file, cs::DecodeScale::kReduced)
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
