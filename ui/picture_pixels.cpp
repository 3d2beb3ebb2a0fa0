// Build tool: writes a PNG picture as the Qt window layer reads it, its
// pixels in the screen's format after a short header (see ReadPixels in
// ui_qt.cpp). Compressed into the program's resources, such a picture takes
// no more room than the PNG and is ready to draw without decoding.
//   halvex_picture_pixels IN.png OUT.pixels
#include <QFile>
#include <QImage>
#include <cstdint>
#include <cstdio>

#include "ui/picture_pixels.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s IN.png OUT.pixels\n", argv[0]);
    return 2;
  }
  QImage image(QString::fromLocal8Bit(argv[1]), "png");
  if (image.isNull()) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
  const halvex::ui::PixelsHeader header{{'H', 'X', 'P', 'X'},
                                        static_cast<std::uint32_t>(image.width()),
                                        static_cast<std::uint32_t>(image.height()),
                                        static_cast<std::uint32_t>(image.format())};
  QFile out(QString::fromLocal8Bit(argv[2]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  for (int y = 0; y < image.height(); ++y) {
    out.write(reinterpret_cast<const char*>(image.constScanLine(y)), static_cast<qint64>(image.width()) * 4);
  }
  return out.flush() ? 0 : 1;
}
