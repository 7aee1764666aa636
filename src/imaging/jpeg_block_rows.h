#pragma once
// The JPEG decoder's way to a picture the receiver may have at 1/8 of its
// size: at 1/4 instead, its luma from the means of its blocks' quarters and
// its chroma from the blocks' means (ReadBlockMeans), for less than the
// library's own 1/8 costs and with twice the size each way to resample
// from. Behind the decoder only; the library has read the header.
#include <cstdio>

#include <jpeglib.h>

#include "imaging/bitmap.h"
#include "imaging/data_source.h"
#include "imaging/row_receiver.h"

namespace cs {

// A sequential Huffman-coded picture of 8-bit samples, grey or YCbCr, with
// every component in its first scan, in order, and the chroma sampled at a
// whole fraction of the luma: what this way reads.
bool BlockQuartersReadable(const jpeg_decompress_struct& info);

// Begins the receiver at 1/4 of the picture's size, rounded up as the
// library rounds, and hands it the rows in bands of 16, B G R A. False,
// having read nothing and begun nothing, when the scan's tables are not fit
// for it; the library then decodes the picture.
bool SendBlockQuarters(const jpeg_decompress_struct& info, Resolution resolution, ProgressSink* progress,
                       RowReceiver& receiver);

}  // namespace cs
