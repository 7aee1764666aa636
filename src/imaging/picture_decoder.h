#pragma once
// Base of every format decoder and of AutoDecoder. A decoder object is
// reusable: each decode opens and closes its own source. Failures are thrown
// as PLTextException (codes in pl_exception.h).
//
// A format decoder derives from PictureDecoder, has a default constructor
// and overrides DecodeInto: read from the source (Read throws code 11 at the
// end of the data), check the size with CheckImageSize / CheckDataFor before
// creating the target, create it, hold a BitmapLock while filling the rows,
// and report errors through ThrowDecoderError. One that can hand its rows
// over while decoding them also overrides DecodeRows, which then serves the
// resized decodes without the whole picture ever being held.
#include <cstddef>
#include <cstdint>

#include "imaging/bitmap.h"
#include "imaging/data_source.h"
#include "imaging/pl_object.h"
#include "imaging/row_receiver.h"

namespace cs {

class PictureDecoder : public PLObject {
public:
    PictureDecoder() = default;
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;
    ~PictureDecoder() override = default;

    // requestedBits: 0 keeps the decoded depth; otherwise a depth above the
    // decoded one is converted up and one below it throws code 6.
    virtual void DecodeFromFile(const char* fileName, Bitmap& target, int requestedBits = 0,
                                ProgressSink* sink = nullptr);
    // module is the HMODULE, type as FindResourceA takes it (nullptr for
    // RT_RCDATA). Only meaningful on Windows.
    virtual void DecodeFromResource(void* module, int id, Bitmap& target, int requestedBits = 0,
                                    const char* type = nullptr);
    virtual void DecodeFromMemory(const std::uint8_t* data, std::size_t size, Bitmap& target,
                                  int requestedBits = 0, ProgressSink* sink = nullptr);
    // Decodes at 32 bits and resamples with BilinearResize to the size
    // `choose` picks from the decoded size: the bytes of decoding with 32
    // bits requested and then resizing, but a decoder that hands its rows
    // over as it decodes (DecodeRows) never holds the whole picture.
    // With DecodeScale::kReduced a JPEG may be decoded at 1/2, 1/4 or 1/8
    // of its size first (never below the chosen size), which costs a
    // fraction of the whole decode; the chooser still sees the whole size.
    void DecodeResizedFromFile(const char* fileName, Bitmap& target, const SizeChooser& choose,
                               ProgressSink* sink = nullptr, DecodeScale scale = DecodeScale::kFull);
    void DecodeResizedFromMemory(const std::uint8_t* data, std::size_t size, Bitmap& target,
                                 const SizeChooser& choose, ProgressSink* sink = nullptr,
                                 DecodeScale scale = DecodeScale::kFull);

    // The texture path's and the file-list preview's decode: as
    // DecodeResized with DecodeScale::kReduced, but a JPEG is turned upright
    // by its Exif orientation, and `choose` sees the upright size. Only the
    // resized picture is turned, never the whole one.
    void DecodeUprightFromFile(const char* fileName, Bitmap& target, const SizeChooser& choose,
                               ProgressSink* sink = nullptr);
    void DecodeUprightFromMemory(const std::uint8_t* data, std::size_t size, Bitmap& target,
                                 const SizeChooser& choose, ProgressSink* sink = nullptr);

    // Decodes into the target, then converts it to the requested depth.
    virtual void MakeBitmap(DataSource& source, Bitmap& target, int requestedBits);
    // The work of the DecodeResized calls, once the source is open.
    virtual void MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                                   DecodeScale scale);
    // Decodes into the receiver as 32-bit rows, top row first. The base
    // cannot and returns false without reading anything.
    virtual bool DecodeRows(DataSource& source, RowReceiver& receiver) { return false; }
    // The work of the DecodeUpright calls, once the source is open.
    virtual void MakeUprightBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose);
    virtual void CloseSource(DataSource& source);
    // Creates the target with the decoded size and depth and fills it. The
    // base does nothing.
    virtual void DecodeInto(Bitmap& target, DataSource& source) {}

protected:
    // How the picture is to be turned to stand upright, 1 to 8 as Exif
    // counts: by default from a JPEG's Exif block, 1 for anything else.
    virtual int ReadOrientation(DataSource& source);
    // Code 2 "Invalid image dimensions." for a width or height below 1; code
    // 10 "Out of memory creating bitmap." above the bitmap pixel limit.
    static void CheckImageSize(std::int64_t width, std::int64_t height);
    // Code 11 "End of file reached while decoding.\n", as a read past the
    // end would give, when the data left in the source is shorter than
    // `bytesNeeded`: a header promising more pixels than the file holds is
    // refused before anything is allocated, and the user is told the file
    // is cut rather than that memory ran out.
    static void CheckDataFor(const DataSource& source, std::uint64_t bytesNeeded);
    // Dots per inch from pixels per metre: ppm * 0.0254 + 0.5, truncated,
    // computed as the formats' reference readers do (single-precision
    // product).
    static std::int32_t DpiFromPixelsPerMetre(double pixelsPerMetre);
};

}  // namespace cs
