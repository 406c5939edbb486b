#pragma once
// A plain reference of the LZW raster decoding, pixel by pixel with a pixel
// stack, as the decoding rules in gif/LZWDecoder.h describe it. It is slow and
// simple on purpose: tests and the equivalence fuzzer compare the fast decoder
// with it.

#include "gif/LZWDecoder.h"

namespace kelpo::test {

bool ReferenceDecodeRaster(const TRasterFrame& frame, TByteStream& stream, TRasterRows& rows,
                           const TLZWDecoder::TRowProgress& progress = {});

}  // namespace kelpo::test
