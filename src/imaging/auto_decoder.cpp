#include "imaging/auto_decoder.h"

#include "imaging/bmp_decoder.h"
#include "imaging/decoder_trace.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/picture_format.h"
#include "imaging/pl_exception.h"
#include "imaging/pcx_decoder.h"
#include "imaging/png_decoder.h"
#include "imaging/psd_decoder.h"
#include "imaging/tga_decoder.h"

namespace cs {
namespace {

SystemDecoderMaker g_system_decoder = nullptr;

[[noreturn]] void Refuse(PictureFormat format) {
    if (format == PictureFormat::Unknown) ThrowDecoderError(plerr::kUnknownFileType, pltext::kUnknownFileType);
    ThrowDecoderError(plerr::kNotSupported, pltext::kNotCompiled);
}

}  // namespace

void UseSystemDecoder(SystemDecoderMaker maker) { g_system_decoder = maker; }

AutoDecoder::AutoDecoder()
    : bmp_(std::make_unique<BmpDecoder>()),
      tga_(std::make_unique<TgaDecoder>()),
      jpeg_(std::make_unique<JpegDecoder>()),
      png_(std::make_unique<PngDecoder>()),
      pcx_(std::make_unique<PcxDecoder>()),
      psd_(std::make_unique<PsdDecoder>()) {}

AutoDecoder::~AutoDecoder() = default;

PictureDecoder& AutoDecoder::DecoderFor(DataSource& source) {
    const PictureFormat format = DetectPictureFormat(source.LookAhead(kDetectionBytes), source.Remaining());
    PictureDecoder* decoder = nullptr;
    const char* message = nullptr;
    switch (format) {
        case PictureFormat::Bmp: decoder = bmp_.get(); message = "Windows bitmap recognized.\n"; break;
        case PictureFormat::Tga: decoder = tga_.get(); message = "TGA file recognized.\n"; break;
        case PictureFormat::Jpeg: decoder = jpeg_.get(); message = "JPEG file recognized.\n"; break;
        case PictureFormat::Png: decoder = png_.get(); message = "PNG file recognized.\n"; break;
        case PictureFormat::Pcx: decoder = pcx_.get(); message = "PCX file recognized.\n"; break;
        case PictureFormat::Psd: decoder = psd_.get(); message = "PSD file recognized.\n"; break;
        default: break;
    }
    if (decoder == nullptr) {
        if (!g_system_decoder) Refuse(format);
        if (!system_) system_ = g_system_decoder();
        refused_ = format;
        DecoderTrace::Write(2, "Handed to the system's decoders.\n");
        return *system_;
    }
    DecoderTrace::Write(2, message);
    return *decoder;
}

template <typename Decode>
void AutoDecoder::Run(DataSource& source, Decode&& decode) {
    PictureDecoder& decoder = DecoderFor(source);
    if (&decoder != system_.get()) return decode(decoder);
    try {
        decode(decoder);
    } catch (const PLTextException& e) {
        DecoderTrace::Writef(2, "The system's decoders refused it: %s\n", e.GetText());
        Refuse(refused_);
    }
}

void AutoDecoder::MakeBitmap(DataSource& source, Bitmap& target, int requestedBits) {
    Run(source, [&](PictureDecoder& decoder) { decoder.MakeBitmap(source, target, requestedBits); });
}

void AutoDecoder::MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                                    DecodeScale scale) {
    Run(source, [&](PictureDecoder& decoder) { decoder.MakeResizedBitmap(source, target, choose, scale); });
}

}  // namespace cs
