#pragma once

#include "platform/dib_image.h"
#include "platform/file_stream.h"

namespace zinnow {

// A bitmap file from a device-independent image, in at most five writes: the 14-byte file
// header, the 40-byte info header, the three masks (bit-field compression above 8 bits per
// pixel only), the colour table, and all pixel rows at once. The image size field is the rows'
// size, colours used is the table's length when there is a table, and the size and offset
// fields count exactly what is written.
void WriteBitmapFile(const DibImage& image, ByteSink& sink);

}  // namespace zinnow
