// The test support that is the same on every backend: the trace of the
// texts set on controls, through the layer's text hook, and the comparison
// of the screen with a picture.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/testing.h"
#include "ui/window_state.h"

namespace halvex::ui::testing {

namespace {

FILE* traceFile = nullptr;

void TraceText(int id, std::string_view text) {
  std::fprintf(traceFile, "%d\t%.*s\n", id, static_cast<int>(text.size()), text.data());
  std::fflush(traceFile);
}

}  // namespace

void TraceTextsTo(const std::string& path) {
  if (traceFile != nullptr) std::fclose(traceFile);
  traceFile = std::fopen(path.c_str(), "ab");
  textObserver = traceFile != nullptr ? TraceText : nullptr;
}

namespace {

// One channel resampled along one direction: each target sample is the
// average of the source samples it covers, in parts at its ends.
std::vector<double> Resample(const std::vector<double>& source, int count, int stride, int lines, int target) {
  std::vector<double> out(static_cast<std::size_t>(target) * lines);
  const double step = static_cast<double>(count) / target;
  for (int line = 0; line < lines; ++line) {
    for (int t = 0; t < target; ++t) {
      const double from = t * step, to = from + step;
      double sum = 0;
      for (int s = static_cast<int>(from); s < count && s < to; ++s) {
        const double cover = std::min<double>(s + 1, to) - std::max<double>(s, from);
        sum += cover * source[static_cast<std::size_t>(line) * stride + s];
      }
      out[static_cast<std::size_t>(line) * target + t] = sum / step;
    }
  }
  return out;
}

Picture Resized(const Picture& picture, int width, int height) {
  if (picture.width == width && picture.height == height) return picture;
  Picture resized{width, height, std::vector<Color>(static_cast<std::size_t>(width) * height)};
  for (int channel = 0; channel < 3; ++channel) {
    std::vector<double> values;
    for (const Color& c : picture.pixels) values.push_back(channel == 0 ? c.red : channel == 1 ? c.green : c.blue);
    // Across, then down (the columns as lines of a transposed picture).
    const std::vector<double> across = Resample(values, picture.width, picture.width, picture.height, width);
    std::vector<double> columns(across.size());
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < width; ++x) columns[static_cast<std::size_t>(x) * picture.height + y] = across[static_cast<std::size_t>(y) * width + x];
    }
    const std::vector<double> down = Resample(columns, picture.height, picture.height, width, height);
    for (int x = 0; x < width; ++x) {
      for (int y = 0; y < height; ++y) {
        const auto value = static_cast<std::uint8_t>(std::clamp(down[static_cast<std::size_t>(x) * height + y] + 0.5, 0.0, 255.0));
        Color& pixel = resized.pixels[static_cast<std::size_t>(y) * width + x];
        (channel == 0 ? pixel.red : channel == 1 ? pixel.green : pixel.blue) = value;
      }
    }
  }
  return resized;
}

}  // namespace

PictureDifference CompareWithPicture(Window* window, const Rect& area, const Picture& picture,
                                     const std::vector<Rect>& covered) {
  const Picture screen = ScreenArea(window, area);
  const Picture expected = Resized(picture, area.w, area.h);
  PictureDifference difference;
  long total = 0;
  for (int y = 0; y < area.h && y < screen.height; ++y) {
    for (int x = 0; x < area.w && x < screen.width; ++x) {
      const int cx = area.x + x, cy = area.y + y;
      if (std::any_of(covered.begin(), covered.end(), [&](const Rect& r) {
            return cx >= r.x && cx < r.x + r.w && cy >= r.y && cy < r.y + r.h;
          })) {
        continue;
      }
      const Color a = screen.At(x, y), b = expected.At(x, y);
      for (int d : {a.red - b.red, a.green - b.green, a.blue - b.blue}) {
        total += std::abs(d);
        difference.largest = std::max(difference.largest, std::abs(d));
      }
      ++difference.compared;
    }
  }
  difference.mean = difference.compared == 0 ? 0 : static_cast<double>(total) / (3.0 * difference.compared);
  return difference;
}

}  // namespace halvex::ui::testing
