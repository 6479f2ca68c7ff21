#include "platform/dib_image.h"

#include <algorithm>

namespace zinnow {

std::vector<RgbQuad> ColorTableFromPalette(const std::vector<PaletteEntry>& palette) {
  std::vector<RgbQuad> table;
  const std::size_t count = std::min<std::size_t>(palette.size(), 256);
  table.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    table.push_back({palette[i].blue, palette[i].green, palette[i].red, 0});
  }
  return table;
}

}  // namespace zinnow
