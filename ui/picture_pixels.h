// The header of a picture stored as its pixels: the Qt window layer's
// resource format, written at build time by halvex_picture_pixels. Rows of
// width 32-bit pixels follow, top down, in the machine's byte order (the
// build makes them on the machine it builds for).
#pragma once

#include <cstdint>

namespace halvex::ui {

struct PixelsHeader {
  char magic[4];         // "HXPX"
  std::uint32_t width;
  std::uint32_t height;
  std::uint32_t format;  // QImage::Format_RGB32 or Format_ARGB32_Premultiplied
};

}  // namespace halvex::ui
