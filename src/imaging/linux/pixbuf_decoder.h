#pragma once
// The Linux program's decoder for formats the six decoders do not read:
// the system's gdk-pixbuf loaders (GIF, TIFF, and WebP, HEIF or AVIF where
// their loaders are installed). A picture is decoded no bigger than the
// texture needs where the loader can scale as it decodes; the resized
// decodes turn it upright by the orientation its own tags give.
#include <memory>
#include <string>

#include "imaging/picture_decoder.h"

namespace cs {

class PixbufDecoder final : public PictureDecoder {
public:
    void DecodeInto(Bitmap& target, DataSource& source) override;
    void MakeResizedBitmap(DataSource& source, Bitmap& target, const SizeChooser& choose,
                           DecodeScale scale) override;
};

// For UseSystemDecoder.
std::unique_ptr<PictureDecoder> MakePixbufDecoder();

// The file name extensions of the installed loaders of the formats taken
// through gdk-pixbuf, comma-separated as ExtensionList reads them; empty
// when none is installed.
std::string PixbufExtensionsText();

}  // namespace cs
