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

AutoDecoder::AutoDecoder() : AutoDecoder(InstalledSystemCodecs()) {}

AutoDecoder::AutoDecoder(const SystemCodecs* codecs)
    : codecs_(codecs),
      bmp_(std::make_unique<BmpDecoder>()),
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
        if (SystemDecoder* system = SystemDecoderFor(source)) {
            DecoderTrace::Write(2, "System codec recognized.\n");
            return *system;
        }
        if (format == PictureFormat::Unknown) ThrowDecoderError(plerr::kUnknownFileType, pltext::kUnknownFileType);
        ThrowDecoderError(plerr::kNotSupported, pltext::kNotCompiled);
    }
    DecoderTrace::Write(2, message);
    return *decoder;
}

SystemDecoder* AutoDecoder::SystemDecoderFor(DataSource& source) {
    if (codecs_ == nullptr) return nullptr;
    if (!system_) system_ = codecs_->MakeDecoder();
    return system_ && system_->Recognises(source) ? system_.get() : nullptr;
}

void AutoDecoder::MakeBitmap(DataSource& source, Bitmap& target, int requestedBits) {
    DecoderFor(source).MakeBitmap(source, target, requestedBits);
}

void AutoDecoder::MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                                    DecodeScale scale) {
    DecoderFor(source).MakeResizedBitmap(source, target, choose, scale);
}

void AutoDecoder::MakeUprightBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose) {
    DecoderFor(source).MakeUprightBitmap(source, target, choose);
}

}  // namespace cs
