#pragma once
// The one decoding entry point: recognises the format from the data's first
// bytes (never from the file name) and hands the decode to the decoder of
// that format. Data of no format the own decoders read goes to the system's
// codecs where they are installed.
#include <memory>

#include "imaging/picture_decoder.h"
#include "imaging/system_codecs.h"

namespace cs {

class AutoDecoder : public PictureDecoder {
public:
    // With the installed system codecs, if any.
    AutoDecoder();
    // With these codecs (null: the own decoders alone); they outlive it.
    explicit AutoDecoder(const SystemCodecs* codecs);
    ~AutoDecoder() override;

    // Where no system codec reads the data: code 8 "Unknown file type." for
    // data of no known format; code 6 "Library not compiled for this file
    // type." for GIF, TIFF, PICT, EPS, PGM and PPM.
    void MakeBitmap(DataSource& source, Bitmap& target, int requestedBits) override;
    void MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                           DecodeScale scale) override;
    void MakeUprightBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose) override;
    void DecodeInto(Bitmap& target, DataSource& source) override {}

private:
    // The decoder for the source's format, or the refusals above.
    PictureDecoder& DecoderFor(DataSource& source);
    // The system decoder when a system codec reads the source, else null.
    SystemDecoder* SystemDecoderFor(DataSource& source);

    const SystemCodecs* codecs_;
    std::unique_ptr<SystemDecoder> system_;  // made when first needed

    std::unique_ptr<PictureDecoder> bmp_;
    std::unique_ptr<PictureDecoder> tga_;
    std::unique_ptr<PictureDecoder> jpeg_;
    std::unique_ptr<PictureDecoder> png_;
    std::unique_ptr<PictureDecoder> pcx_;
    std::unique_ptr<PictureDecoder> psd_;
};

}  // namespace cs
