#include "hxplan/drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "calc/result_texts.h"
#include "common/number_text.h"
#include "hxplan/cone_plan.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

// Drawing units are pixels of a plan at most kPlanWidth x kPlanHeight.
constexpr double kPlanWidth = 800;
constexpr double kPlanHeight = 480;
constexpr double kLeft = 90;  // room for the dimension chain along the width
constexpr double kTop = 30;
constexpr double kRight = 30;
constexpr double kChainGap = 28;  // from the plan to a dimension chain
constexpr double kMinCanvasWidth = 760;
constexpr std::size_t kMaxChainSegments = 14;  // beyond it only the ends are dimensioned

// Text for an SVG: markup characters escaped, control characters (which XML
// forbids) blanked, and bytes that are not UTF-8 (a name typed in another
// code page) shown as '?', so that every renderer takes the file.
std::string Xml(std::string_view text) {
  std::string escaped;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = Utf8Length(text, at);
    if (length != 1) {
      escaped += length == 0 ? std::string("?") : std::string(text.substr(at, length));
      at += length == 0 ? 1 : length;
      continue;
    }
    const char c = text[at++];
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    }
  }
  return escaped;
}

// Coordinates to 0.01 px: enough for any screen and stable across runs.
std::string Px(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

struct Frame {
  double scale;  // px per foot
  double left, top, width, height;
  double X(long double feet) const { return left + static_cast<double>(feet) * scale; }
  // The width runs up the page, as in the calculator's diagram.
  double Y(long double feet) const { return top + height - static_cast<double>(feet) * scale; }
};

// One dimension chain: the walls and the loudspeakers between them, or,
// when there are many or their labels do not fit, the walls, the first and
// the last loudspeaker with the run between them labelled as a multiple of
// the spacing. Positions are rounded to 0.01 of the unit first and each
// segment is the difference of two rounded positions, so the chain adds up
// to the room's length at that precision: the last segment takes the rest.
struct Chain {
  std::vector<long double> marks;   // ft
  std::vector<std::string> labels;  // one per segment
};

// About what an 11 px label needs: digits are 7 px wide, and a little air.
double LabelWidth(const std::string& label) { return 7 * static_cast<double>(label.size()) + 2; }

Chain ChainFor(const std::vector<long double>& positions, long double length, float spacing, bool metric,
               double scale) {
  Chain chain;
  const long long end = DimensionHundredths(length, metric);
  std::vector<long long> rounded;
  for (const long double p : positions) rounded.push_back(DimensionHundredths(p, metric));
  const std::string step = DimensionText(spacing, metric);
  const bool fits = LabelWidth(step) <= static_cast<double>(spacing) * scale;
  const bool grouped = positions.size() >= 3 && (positions.size() + 1 > kMaxChainSegments || !fits);
  chain.marks.push_back(0);
  long long previous = 0;
  auto add = [&](long double mark, long long at, const std::string& label) {
    chain.marks.push_back(mark);
    chain.labels.push_back(label.empty() ? HundredthsText(at - previous) : label);
    previous = at;
  };
  for (std::size_t i = 0; i < positions.size(); ++i) {
    if (grouped && i > 0 && i + 1 < positions.size()) continue;
    std::string label;
    if (grouped && i + 1 == positions.size()) {
      const long long run = rounded[i] - previous, count = static_cast<long long>(positions.size() - 1);
      label = std::to_string(count) + " x " + step;
      // Spacings in metres are rounded: the run then says what it adds up to.
      if (count * DimensionHundredths(spacing, metric) != run) label += " = " + HundredthsText(run);
    }
    add(positions[i], rounded[i], label);
  }
  add(length, end, "");
  return chain;
}

// Where a label goes: on its side of the chain line in the middle of its
// segment when it fits there, else on the other side, moved along as far as
// its neighbours there need, and left out (the chain thinned) when the
// drawing has no room for it. No two labels ever overlap.
struct Placed {
  double at = 0;  // px along the chain from its first wall
  int side = 0;   // 0 the usual side, 1 the other
  bool shown = false;
};

std::vector<Placed> PlaceLabels(const std::vector<double>& marks, const std::vector<std::string>& labels, double lowest,
                                double highest) {
  constexpr double kAir = 3;
  std::vector<Placed> placed(labels.size());
  double sideEnd[2] = {lowest - kAir, lowest - kAir};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const double width = LabelWidth(labels[i]), from = marks[i], to = marks[i + 1], middle = (from + to) / 2;
    if (width <= to - from && middle - width / 2 >= sideEnd[0] + kAir) {
      placed[i] = {middle, 0, true};
      sideEnd[0] = middle + width / 2;
      continue;
    }
    const double at = std::max(middle, sideEnd[1] + kAir + width / 2);
    if (at + width / 2 <= highest) {
      placed[i] = {at, 1, true};
      sideEnd[1] = at + width / 2;
    }
  }
  return placed;
}

void LengthChain(std::string& svg, const Frame& f, const Chain& chain, double canvasWidth) {
  const double y = f.top + f.height + kChainGap;
  svg += "<g class=\"dimensions-length\">\n<line x1=\"" + Px(f.X(chain.marks.front())) + "\" y1=\"" + Px(y) +
         "\" x2=\"" + Px(f.X(chain.marks.back())) + "\" y2=\"" + Px(y) + "\"/>\n";
  std::vector<double> marks;
  for (const long double mark : chain.marks) {
    const double x = f.X(mark);
    marks.push_back(x - f.left);
    svg += "<line x1=\"" + Px(x) + "\" y1=\"" + Px(y - 5) + "\" x2=\"" + Px(x) + "\" y2=\"" + Px(y + 5) + "\"/>\n";
  }
  // Labels may reach left under the width chain's foot, which stops above this line.
  const std::vector<Placed> placed = PlaceLabels(marks, chain.labels, 16 - f.left, canvasWidth - 4 - f.left);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i].shown) continue;
    svg += "<text x=\"" + Px(f.left + placed[i].at) + "\" y=\"" + Px(placed[i].side == 0 ? y - 4 : y + 16) +
           "\" text-anchor=\"middle\">" + Xml(chain.labels[i]) + "</text>\n";
  }
  svg += "</g>\n";
}

void WidthChain(std::string& svg, const Frame& f, const Chain& chain) {
  const double x = f.left - kChainGap;
  svg += "<g class=\"dimensions-width\">\n<line x1=\"" + Px(x) + "\" y1=\"" + Px(f.Y(chain.marks.front())) +
         "\" x2=\"" + Px(x) + "\" y2=\"" + Px(f.Y(chain.marks.back())) + "\"/>\n";
  std::vector<double> marks;
  const double bottom = f.Y(0);
  for (const long double mark : chain.marks) {
    const double y = f.Y(mark);
    marks.push_back(bottom - y);
    svg += "<line x1=\"" + Px(x - 5) + "\" y1=\"" + Px(y) + "\" x2=\"" + Px(x + 5) + "\" y2=\"" + Px(y) + "\"/>\n";
  }
  // Up the page from the floor line to the top of the drawing.
  const std::vector<Placed> placed = PlaceLabels(marks, chain.labels, 0, bottom - 4);
  for (std::size_t i = 0; i < placed.size(); ++i) {
    if (!placed[i].shown) continue;
    const double textX = placed[i].side == 0 ? x - 4 : x + 14, middle = bottom - placed[i].at;
    svg += "<text x=\"" + Px(textX) + "\" y=\"" + Px(middle) + "\" text-anchor=\"middle\" transform=\"rotate(-90 " +
           Px(textX) + " " + Px(middle) + ")\">" + Xml(chain.labels[i]) + "</text>\n";
  }
  svg += "</g>\n";
}

// At most the width of text in DejaVu Sans (the first font the drawing
// names, bold or not) at `size` px: the widest letters, capitals, small
// letters and digits, narrow marks, anything else as a capital.
double TextWidth(std::string_view text, double size) {
  double em = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // inside a character
    if (c == 'W' || c == 'M' || c == 'm' || c == 'w') {
      em += 1.05;
    } else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      em += 0.72;
    } else if (c == ' ' || c == '.' || c == ',' || c == ':' || c == ';' || c == 'i' || c == 'l' || c == '\'' ||
               c == '(' || c == ')') {
      em += 0.42;
    } else {
      em += 0.86;
    }
  }
  return em * size;
}

// Text cut, with an ellipsis, to at most `width` px at `size` px.
std::string Cut(const std::string& text, double width, double size) {
  if (TextWidth(text, size) <= width) return text;
  const double room = width - TextWidth("\u2026", size);
  std::size_t at = 0, end = 0;
  while (at < text.size()) {
    std::size_t next = at + 1;
    while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
    if (TextWidth(std::string_view(text).substr(0, next), size) > room) break;
    end = at = next;
  }
  return text.substr(0, end) + "\u2026";
}

// A line broken at blanks into lines of at most `width` px at `size` px; a
// word longer than that is cut.
std::vector<std::string> Wrapped(const std::string& line, double width, double size) {
  std::vector<std::string> lines;
  std::string current;
  std::size_t from = 0;
  while (from <= line.size()) {
    std::size_t to = line.find(' ', from);
    if (to == std::string::npos) to = line.size();
    const std::string word = Cut(line.substr(from, to - from), width, size);
    if (!current.empty() && TextWidth(current + " " + word, size) > width) {
      lines.push_back(current);
      current.clear();
    }
    current += (current.empty() ? "" : " ") + word;
    from = to + 1;
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

// The map as one path per colour: runs of equal colour along each row,
// stacked into one rectangle while the rows below repeat them, in whole
// cells under one transform. A room of 100,000 cells then takes a few
// kilobytes, and no coordinate of it needs a number formatted.
void CoverageLayer(std::string& svg, const Frame& f, const CoverageMap& map, const CoverageClasses& classes) {
  if (map.rows <= 0 || map.columns <= 0) return;
  // The scale to 7 digits: rounded to 0.01 px it would drift by pixels
  // across a few hundred cells.
  char scale[64];
  std::snprintf(scale, sizeof scale, "%.7g %.7g", map.cellLength * f.scale, map.cellWidth * f.scale);
  // Drawn rows count from the top of the plan, map rows from the wall at
  // its bottom.
  svg += "<g class=\"coverage\" shape-rendering=\"crispEdges\" stroke=\"none\" transform=\"translate(" +
         Px(f.left) + " " + Px(f.Y(map.rows * map.cellWidth)) + ") scale(" + scale + ")\">\n";
  struct Block {
    int column, end, cls, top;
  };
  std::vector<std::string> paths(static_cast<std::size_t>(classes.bands));
  auto close = [&paths](const Block& b, int bottom) {
    const std::string width = std::to_string(b.end - b.column);
    paths[static_cast<std::size_t>(b.cls)] += "M" + std::to_string(b.column) + " " + std::to_string(b.top) + "h" +
                                              width + "v" + std::to_string(bottom - b.top) + "h-" + width + "z";
  };
  std::vector<int> cls(static_cast<std::size_t>(map.columns));
  std::vector<Block> open, next;
  for (int row = 0; row < map.rows; ++row) {
    const int r = map.rows - 1 - row;
    for (int c = 0; c < map.columns; ++c) cls[c] = classes.ClassOf(map.At(r, c));
    // Runs and the blocks above both cover the row from left to right.
    std::size_t above = 0;
    next.clear();
    for (int c = 0; c < map.columns;) {
      int end = c + 1;
      while (end < map.columns && cls[end] == cls[c]) ++end;
      while (above < open.size() && open[above].column < c) close(open[above++], row);
      if (above < open.size() && open[above].column == c && open[above].end == end && open[above].cls == cls[c]) {
        next.push_back(open[above++]);
      } else {
        next.push_back({c, end, cls[c], row});
      }
      c = end;
    }
    while (above < open.size()) close(open[above++], row);
    open.swap(next);
  }
  for (const Block& b : open) close(b, map.rows);
  for (int k = 0; k < classes.bands; ++k) {
    if (!paths[k].empty()) svg += "<path fill=\"" + classes.Colour(k) + "\" d=\"" + paths[k] + "\"/>\n";
  }
  svg += "</g>\n";
}

// A colour bar with the band edges in dB under it and the target band
// framed on it.
void CoverageLegend(std::string& svg, double left, double top, const CoverageClasses& classes) {
  const double start = left + 48, swatch = std::min(40.0, 560.0 / classes.bands);
  // Edge labels every so many bands, so that they never run together.
  const int every = swatch >= 30 ? 1 : swatch >= 15 ? 2 : swatch >= 8 ? 4 : 8;
  svg += "<g class=\"legend\">\n<text x=\"" + Px(left) + "\" y=\"" + Px(top + 9) + "\">dB SPL</text>\n";
  for (int cls = 0; cls <= classes.bands; ++cls) {
    const double x = start + cls * swatch;
    if (cls < classes.bands) {
      svg += "<rect x=\"" + Px(x) + "\" y=\"" + Px(top) + "\" width=\"" + Px(swatch) + "\" height=\"10\" fill=\"" +
             classes.Colour(cls) + "\" stroke=\"#606060\" stroke-width=\"0.5\"/>\n";
    }
    if (cls % every == 0) {
      svg += "<text x=\"" + Px(x) + "\" y=\"" + Px(top + 22) + "\" text-anchor=\"middle\" font-size=\"9\">" +
             Bare(classes.low + cls * classes.step) + "</text>\n";
    }
  }
  auto at = [&](double spl) {
    return start + std::clamp((spl - classes.low) / classes.step, 0.0, static_cast<double>(classes.bands)) * swatch;
  };
  const double from = at(classes.target - classes.deviation), to = at(classes.target + classes.deviation);
  svg += "<rect class=\"target\" x=\"" + Px(from - 1) + "\" y=\"" + Px(top - 3) + "\" width=\"" + Px(to - from + 2) +
         "\" height=\"16\" fill=\"none\" stroke=\"black\" stroke-width=\"1.5\"/>\n";
  svg += "<text x=\"" + Px(start + classes.bands * swatch + 10) + "\" y=\"" + Px(top + 9) + "\">target " +
         Bare(classes.target) + " +-" + Bare(classes.deviation) + " dB framed</text>\n</g>\n";
}

std::string LimitText(const RoomPlan& room) {
  if (room.cone) {
    return room.coneLayout.tapExceeded ? "More power than the highest tap: use more loudspeakers or a louder model."
                                       : "";
  }
  const LoudspeakerModel& model = room.model;
  std::string words;
  auto add = [&words](const char* word) { words += (words.empty() ? "" : "; ") + std::string(word); };
  if (PowerExceeded(room.result, model)) add("Power required exceeds Max. Power Handling");
  if (TapExceeded(room.result, model)) add("tap above the model's highest tap");
  if (room.result.tap == 0) add("no tap fits");
  return words;
}

std::vector<std::string> TitleLines(const RoomPlan& room, bool metric, int lineVolts, const CoverageMap* coverage,
                                    bool drawn) {
  const RoomInputs& in = room.inputs;
  const LayoutResult& r = room.result;
  const LoudspeakerModel& model = room.model;
  const char* unit = LengthUnit(metric);
  const long double length = in.roomLength, width = in.roomWidth;
  std::vector<std::string> lines;
  if (room.cone) {
    const cone::ConeLayout& l = room.coneLayout;
    const cone::ConeInputs& c = room.coneInputs;
    const cone::ConeModel& cm = room.coneModel;
    auto tenth = [metric](double feet) { return ConeLengthText(feet, metric); };
    lines.push_back("Model " + std::string(cm.name) + " (" + std::string(cm.driver) + ", " + Bare(cm.coverageAngle) +
                    " degrees, " + Bare(cm.sensitivity) + " dB at 1 W, 1 m), tap " + Bare(l.tap) + " W on the " +
                    std::to_string(lineVolts) + " V line, power required " + Bare(l.powerShown) + " W per loudspeaker");
    lines.push_back(Bare(l.countX) + " x " + Bare(l.rows) + " rows = " + Bare(l.total) + " loudspeakers, " +
                    PatternName(c.pattern) + ", " + GridName(c.grid) + ", spacing " + tenth(l.spacingX) + " x " +
                    tenth(l.spacingY) + " " + unit + ", circles " + tenth(l.radius) + " " + unit + ", target " +
                    Bare(in.targetSpl) + " dB SPL + " + std::to_string(c.headroom) + " dB");
  } else {
    lines.push_back("Model " + TrimmedName(model.name) + " (" + Bare(model.sensitivity) + " dB at 1 W, 3 ft; max " +
                    Bare(model.maxPower) + " W), tap " + Bare(r.tap) + " W on the " + std::to_string(lineVolts) +
                    " V line, power required " + Bare(r.powerRequired) + " W per loudspeaker");
    lines.push_back(Bare(r.countX) + " x " + Bare(r.countY) + " = " + Bare(r.totalCount) + " loudspeakers, spacing " +
                    (MoreThanOne(r.countX) ? LengthText(r.spacingX, metric) : std::string("-")) + " x " +
                    (MoreThanOne(r.countY) ? LengthText(r.spacingY, metric) : std::string("-")) + " " + unit +
                    ", target " + Bare(in.targetSpl) + " dB SPL at ear level, deviation +-" + Bare(in.splDeviation) +
                    " dB");
  }
  lines.push_back("Room " + LengthText(length, metric) + " x " + LengthText(width, metric) + " " + unit + " (" +
                  AreaText(length * width, metric) + " " + AreaUnit(metric) + "), ear level " +
                  LengthText(in.earLevel, metric) + " " + unit + ", ceiling " + LengthText(in.ceilingHeight, metric) +
                  " " + unit + "; dimensions in " + unit + " to loudspeaker centres, rounded to 0.01 " + unit +
                  " (the last segment takes the rest)");
  if (coverage) lines.push_back("Coverage (direct sound at ear level) " + CoverageText(coverage->summary, in));
  if (!drawn) lines.push_back("Too many loudspeakers to draw; their positions come with --csv-positions");
  return lines;
}

}  // namespace

CoverageClasses CoverageClasses::For(double min, double max, double target, double deviation) {
  CoverageClasses classes;
  const double range = std::ceil(max) - std::floor(min);
  classes.step = range <= 16 ? 1 : range <= 32 ? 2 : 5;
  classes.low = std::floor(min / classes.step) * classes.step;
  classes.bands = std::max(1, static_cast<int>(std::ceil((max - classes.low) / classes.step)));
  if (classes.low + classes.bands * classes.step <= max) ++classes.bands;  // max on an edge
  classes.target = target;
  classes.deviation = deviation;
  return classes;
}

int CoverageClasses::ClassOf(double spl) const {
  const double band = std::floor((spl - low) / step);
  return band < 0 ? 0 : band >= bands ? bands - 1 : static_cast<int>(band);
}

std::string CoverageClasses::Colour(int cls) const {
  const double from = low + cls * step, to = from + step, middle = (from + to) / 2;
  const double bandLow = target - deviation, bandHigh = target + deviation;
  // Outside the band light to dark over 6 dB, or over the room's range
  // when it reaches farther, so that every band differs; within the band
  // light to mid green from its low edge to its high one.
  const double below = std::max(6.0, bandLow - low), above = std::max(6.0, low + bands * step - bandHigh);
  int rgb[3];
  auto mix = [&rgb](const int (&a)[3], const int (&b)[3], double t) {
    t = std::clamp(t, 0.0, 1.0);
    for (int k = 0; k < 3; ++k) rgb[k] = static_cast<int>(std::lround(a[k] + (b[k] - a[k]) * t));
  };
  if (to <= bandLow) {
    mix({0xc6, 0xdb, 0xef}, {0x08, 0x30, 0x6b}, (bandLow - middle) / below);
  } else if (from >= bandHigh) {
    mix({0xfc, 0xbb, 0xa1}, {0x67, 0x00, 0x0d}, (middle - bandHigh) / above);
  } else {
    mix({0xe5, 0xf5, 0xe0}, {0x41, 0xab, 0x5d}, (middle - bandLow) / std::max(1.0, 2 * deviation));
  }
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
  return colour;
}

std::string RoomSvg(const RoomPlan& room, bool metric, int lineVolts, const CoverageMap* coverage,
                    const std::string& project) {
  const RoomInputs& in = room.inputs;
  const LayoutResult& r = room.result;

  // A room with no length or width still gets a visible outline.
  const long double length = in.roomLength, width = in.roomWidth;
  double scale = 1;
  if (length > 0 && width > 0) {
    scale = std::min(kPlanWidth / static_cast<double>(length), kPlanHeight / static_cast<double>(width));
  } else if (length > 0 || width > 0) {
    scale = std::min(kPlanWidth, kPlanHeight) / static_cast<double>(std::max(length, width));
  }
  Frame f{scale, kLeft, kTop, std::max(1.0, static_cast<double>(length) * scale),
          std::max(1.0, static_cast<double>(width) * scale)};
  const double canvasWidth = std::max(kMinCanvasWidth, kLeft + f.width + kRight);
  const double titleTop = f.top + f.height + kChainGap + 34;
  // Where the loudspeakers stand: the chains run through the first row and
  // along the rows.
  const bool drawn = (room.cone ? room.coneLayout.total : r.totalCount) <= kMaxDrawnLoudspeakers;
  std::vector<long double> xs, ys;
  std::vector<std::pair<long double, long double>> points;
  float spacingX = r.spacingX, spacingY = r.spacingY;
  if (room.cone) {
    const cone::ConeLayout& l = room.coneLayout;
    spacingX = static_cast<float>(l.spacingX);
    spacingY = static_cast<float>(l.spacingY);
    for (const cone::Position& p : cone::ConePositions(l, room.coneInputs.grid, kMaxDrawnLoudspeakers)) {
      points.emplace_back(p.x, p.y);
      if (ys.empty() || ys.back() != p.y) ys.push_back(p.y);
      if (ys.size() == 1) xs.push_back(p.x);
    }
  } else {
    xs = GridPositions(r.countX, r.spacingX, kMaxDrawnLoudspeakers);
    ys = GridPositions(r.countY, r.spacingY, kMaxDrawnLoudspeakers);
    for (const long double y : ys) {
      for (const long double x : xs) points.emplace_back(x, y);
    }
  }
  const bool mapped = coverage && coverage->summary.computed;
  // The title block's lines, broken to its width.
  const double textWidth = canvasWidth - 24 - 20;
  std::vector<std::string> lines;
  for (const std::string& line : TitleLines(room, metric, lineVolts, coverage, drawn)) {
    for (std::string& part : Wrapped(line, textWidth, 11)) lines.push_back(std::move(part));
  }
  const std::vector<std::string> limits = Wrapped(LimitText(room), textWidth, 11);
  const std::string title = Cut(room.name + (room.zone != room.name ? "  (zone " + room.zone + ")" : ""), textWidth, 16);
  const double titleHeight = 36 + 16 * static_cast<double>(lines.size() + limits.size()) + (mapped ? 28 : 0);
  const double canvasHeight = titleTop + titleHeight + 12;
  const CoverageClasses classes =
      mapped ? CoverageClasses::For(coverage->summary.min, coverage->summary.max, in.targetSpl, in.splDeviation)
             : CoverageClasses{};

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
      PlanMark(project) + "\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
      Px(canvasWidth) + "\" height=\"" + Px(canvasHeight) + "\" viewBox=\"0 0 " + Px(canvasWidth) + " " +
      Px(canvasHeight) + "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"11\">\n" + "<title>" +
      Xml(room.name) + "</title>\n" + "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";

  if (mapped) CoverageLayer(svg, f, *coverage, classes);
  // Grid lines through the loudspeaker centres, then the walls over them.
  if (drawn) {
    svg += "<g class=\"grid\" stroke=\"#b0b0b0\" stroke-width=\"0.6\" stroke-dasharray=\"4 3\">\n";
    for (const long double x : xs) {
      svg += "<line x1=\"" + Px(f.X(x)) + "\" y1=\"" + Px(f.top) + "\" x2=\"" + Px(f.X(x)) + "\" y2=\"" +
             Px(f.top + f.height + kChainGap) + "\"/>\n";
    }
    for (const long double y : ys) {
      svg += "<line x1=\"" + Px(f.left - kChainGap) + "\" y1=\"" + Px(f.Y(y)) + "\" x2=\"" + Px(f.left + f.width) +
             "\" y2=\"" + Px(f.Y(y)) + "\"/>\n";
    }
    svg += "</g>\n";
  }
  svg += "<rect class=\"room\" x=\"" + Px(f.left) + "\" y=\"" + Px(f.top) + "\" width=\"" + Px(f.width) +
         "\" height=\"" + Px(f.height) + "\" fill=\"none\" stroke=\"black\" stroke-width=\"2\"/>\n";

  if (drawn && !xs.empty() && !ys.empty()) {
    const double pitch =
        std::min(xs.size() > 1 ? spacingX * scale : f.width, ys.size() > 1 ? spacingY * scale : f.height);
    const double radius = std::clamp(pitch * 0.18, 2.5, 9.0);
    if (room.cone) {
      // Each loudspeaker's coverage circle at ear level, as the pattern lays them.
      svg += "<clipPath id=\"room-area\"><rect x=\"" + Px(f.left) + "\" y=\"" + Px(f.top) + "\" width=\"" +
             Px(f.width) + "\" height=\"" + Px(f.height) + "\"/></clipPath>\n";
      svg += "<g class=\"coverage-circles\" clip-path=\"url(#room-area)\" fill=\"none\" stroke=\"#1a3d8f\" "
             "stroke-opacity=\"0.35\">\n";
      for (const auto& [x, y] : points) {
        svg += "<circle cx=\"" + Px(f.X(x)) + "\" cy=\"" + Px(f.Y(y)) + "\" r=\"" + Px(room.coneLayout.radius * scale) +
               "\"/>\n";
      }
      svg += "</g>\n";
    }
    svg += "<g class=\"loudspeakers\" fill=\"white\" stroke=\"#1a3d8f\" stroke-width=\"1.4\">\n";
    for (const auto& [x, y] : points) {
      const double cx = f.X(x), cy = f.Y(y);
      svg += "<g class=\"loudspeaker\"><circle cx=\"" + Px(cx) + "\" cy=\"" + Px(cy) + "\" r=\"" + Px(radius) +
             "\"/><path d=\"M" + Px(cx - radius) + " " + Px(cy) + "H" + Px(cx + radius) + "M" + Px(cx) + " " +
             Px(cy - radius) + "V" + Px(cy + radius) + "\"/></g>\n";
    }
    svg += "</g>\n";
  }

  svg += "<g class=\"dimensions\" stroke=\"black\" stroke-width=\"0.8\" fill=\"black\">\n";
  LengthChain(svg, f, ChainFor(drawn ? xs : std::vector<long double>{}, length, spacingX, metric, scale),
              canvasWidth);
  WidthChain(svg, f, ChainFor(drawn ? ys : std::vector<long double>{}, width, spacingY, metric, scale));
  svg += "</g>\n";

  // The title block: what an installer needs on site, and no date, so that
  // the same room always gives the same file.
  const double left = 12, right = canvasWidth - 12;
  svg += "<g class=\"title\">\n<rect x=\"" + Px(left) + "\" y=\"" + Px(titleTop) + "\" width=\"" + Px(right - left) +
         "\" height=\"" + Px(titleHeight) + "\" fill=\"none\" stroke=\"black\"/>\n";
  svg += "<text x=\"" + Px(left + 10) + "\" y=\"" + Px(titleTop + 22) + "\" font-size=\"16\" font-weight=\"bold\">" +
         Xml(title) + "</text>\n";
  double y = titleTop + 42;
  for (const std::string& line : lines) {
    svg += "<text x=\"" + Px(left + 10) + "\" y=\"" + Px(y) + "\">" + Xml(line) + "</text>\n";
    y += 16;
  }
  for (const std::string& line : limits) {
    svg += "<text x=\"" + Px(left + 10) + "\" y=\"" + Px(y) + "\" fill=\"#c00000\" font-weight=\"bold\">" +
           Xml(line) + "</text>\n";
    y += 16;
  }
  if (mapped) CoverageLegend(svg, left + 10, y - 4, classes);
  svg += "</g>\n</svg>\n";
  return svg;
}

std::string PlanMark(const std::string& project) {
  // "--" may not stand in a comment.
  std::string name = project.empty() ? std::string("the command line") : Xml(project);
  for (std::size_t at; (at = name.find("--")) != std::string::npos;) name[at + 1] = '_';
  return "<!-- hxplan plan of " + name + " -->";
}

namespace {

std::string Folded(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool ReservedOnWindows(const std::string& stem) {
  const std::string name = Folded(stem);
  if (name == "con" || name == "prn" || name == "aux" || name == "nul") return true;
  return name.size() == 4 && (name.compare(0, 3, "com") == 0 || name.compare(0, 3, "lpt") == 0) && name[3] >= '1' &&
         name[3] <= '9';
}

}  // namespace

std::string FileNameFor(const std::string& roomName, std::set<std::string>& used) {
  std::string base;
  for (const char c : roomName.substr(0, 80)) {
    const bool kept =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    base += kept ? c : '_';
  }
  if (base.empty()) base = "room";
  // No hidden files, no "." or "..", nothing a program would take for an option.
  if (base[0] == '.' || base[0] == '-') base.insert(0, "_");
  const std::size_t stem = base.find('.');
  if (ReservedOnWindows(base.substr(0, stem))) base.insert(stem == std::string::npos ? base.size() : stem, "_");
  // The names are ASCII, so folding ASCII letters is folding every letter.
  std::string name = base;
  for (int n = 2; !used.insert(Folded(name)).second; ++n) name = base + "-" + std::to_string(n);
  return name;
}

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos &&
      (text.empty() || (text.front() != ' ' && text.back() != ' '))) {
    return text;
  }
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

std::string PositionsCsvHeader(bool metric) {
  const std::string unit = LengthUnit(metric);
  return "room,zone,model,number,x_" + unit + ",y_" + unit + "\r\n";
}

bool AddPositions(const RoomPlan& room, bool metric, std::string& csv) {
  const LayoutResult& r = room.result;
  if (room.cone) {
    if (!(room.coneLayout.total <= kMaxListedLoudspeakers)) return false;
    const std::string prefix = CsvField(room.name) + "," + CsvField(room.zone) + "," +
                               CsvField(std::string(room.coneModel.name)) + ",";
    long number = 0;
    for (const cone::Position& p : cone::ConePositions(room.coneLayout, room.coneInputs.grid, kMaxListedLoudspeakers)) {
      csv += prefix + std::to_string(++number) + "," + DimensionText(p.x, metric) + "," + DimensionText(p.y, metric) +
             "\r\n";
    }
    return true;
  }
  if (!(r.totalCount <= kMaxListedLoudspeakers)) return false;
  const std::vector<long double> xs = GridPositions(r.countX, r.spacingX, kMaxListedLoudspeakers);
  const std::vector<long double> ys = GridPositions(r.countY, r.spacingY, kMaxListedLoudspeakers);
  const std::string prefix = CsvField(room.name) + "," + CsvField(room.zone) + "," +
                             CsvField(TrimmedName(room.model.name)) + ",";
  long number = 0;
  for (const long double y : ys) {
    for (const long double x : xs) {
      csv += prefix + std::to_string(++number) + "," + DimensionText(x, metric) + "," + DimensionText(y, metric) +
             "\r\n";
    }
  }
  return true;
}

}  // namespace halvex::plan
