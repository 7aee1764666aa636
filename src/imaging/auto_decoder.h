#pragma once
// The one decoding entry point: recognises the format from the data's first
// bytes (never from the file name) and hands the decode to the decoder of
// that format.
#include <memory>

#include "imaging/picture_decoder.h"
#include "imaging/picture_format.h"

namespace cs {

// A decoder of the system's for the data none of the six decoders read (the
// Linux program's gdk-pixbuf loaders). A program that has one names its
// maker once at start, before any decoding; picturetool never does, and
// keeps the six alone.
using SystemDecoderMaker = std::unique_ptr<PictureDecoder> (*)();
void UseSystemDecoder(SystemDecoderMaker maker);

class AutoDecoder : public PictureDecoder {
public:
    AutoDecoder();
    ~AutoDecoder() override;

    // Code 8 "Unknown file type." for data of no known format; code 6
    // "Library not compiled for this file type." for GIF, TIFF, PICT, EPS,
    // PGM and PPM. With a system decoder, those go to it first, and the
    // same codes stand for the data it cannot read either.
    void MakeBitmap(DataSource& source, Bitmap& target, int requestedBits) override;
    void MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                           DecodeScale scale) override;
    void DecodeInto(Bitmap& target, DataSource& source) override {}

private:
    // The decoder for the source's format: one of the six, the system's,
    // or the refusals above.
    PictureDecoder& DecoderFor(DataSource& source);
    // Runs decode with the source's decoder; the system decoder's failures
    // become the refusal of the format.
    template <typename Decode>
    void Run(DataSource& source, Decode&& decode);

    std::unique_ptr<PictureDecoder> system_;
    PictureFormat refused_ = PictureFormat::Unknown;

    std::unique_ptr<PictureDecoder> bmp_;
    std::unique_ptr<PictureDecoder> tga_;
    std::unique_ptr<PictureDecoder> jpeg_;
    std::unique_ptr<PictureDecoder> png_;
    std::unique_ptr<PictureDecoder> pcx_;
    std::unique_ptr<PictureDecoder> psd_;
};

}  // namespace cs
