#pragma once
// The Linux program's system codecs: the system's gdk-pixbuf loaders for the
// formats the six decoders do not read (GIF, TIFF, and WebP, HEIF, AVIF or
// JPEG XL where their loaders are installed). A picture is decoded no
// bigger than the texture needs where the loader can scale as it decodes.
#include <memory>

#include "imaging/system_codecs.h"

namespace cs {

std::unique_ptr<SystemCodecs> MakePixbufCodecs();

}  // namespace cs
