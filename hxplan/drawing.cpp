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

// One dimension chain: the walls and the loudspeakers between them, or, when
// there are many, the walls, the first two and the last, with the run between
// them labelled as a multiple of the spacing.
struct Chain {
  std::vector<long double> marks;
  std::vector<std::string> labels;  // one per segment
};

Chain ChainFor(const std::vector<long double>& positions, long double length, float spacing, bool metric) {
  Chain chain;
  chain.marks.push_back(0);
  const bool all = positions.size() + 1 <= kMaxChainSegments;
  if (all) {
    chain.marks.insert(chain.marks.end(), positions.begin(), positions.end());
  } else if (!positions.empty()) {
    chain.marks.insert(chain.marks.end(), {positions[0], positions[1], positions.back()});
  }
  chain.marks.push_back(length);
  for (std::size_t i = 1; i < chain.marks.size(); ++i) {
    if (!all && i == 3) {
      chain.labels.push_back(std::to_string(positions.size() - 2) + " x " + LengthText(spacing, metric));
    } else {
      chain.labels.push_back(DimensionText(chain.marks[i] - chain.marks[i - 1], metric));
    }
  }
  return chain;
}

// About what an 11 px label needs, with a little air.
double LabelWidth(const std::string& label) { return 6.5 * static_cast<double>(label.size()) + 4; }

void LengthChain(std::string& svg, const Frame& f, const Chain& chain) {
  const double y = f.top + f.height + kChainGap;
  svg += "<g class=\"dimensions-length\">\n<line x1=\"" + Px(f.X(chain.marks.front())) + "\" y1=\"" + Px(y) +
         "\" x2=\"" + Px(f.X(chain.marks.back())) + "\" y2=\"" + Px(y) + "\"/>\n";
  for (std::size_t i = 0; i < chain.marks.size(); ++i) {
    const double x = f.X(chain.marks[i]);
    svg += "<line x1=\"" + Px(x) + "\" y1=\"" + Px(y - 5) + "\" x2=\"" + Px(x) + "\" y2=\"" + Px(y + 5) + "\"/>\n";
    if (i == 0) continue;
    // A label wider than its segment goes under the line, every other one,
    // so that neighbours do not overwrite each other.
    const bool narrow = x - f.X(chain.marks[i - 1]) < LabelWidth(chain.labels[i - 1]);
    const double textY = narrow && i % 2 == 0 ? y + 16 : y - 4;
    svg += "<text x=\"" + Px((f.X(chain.marks[i - 1]) + x) / 2) + "\" y=\"" + Px(textY) + "\" text-anchor=\"middle\">" +
           Xml(chain.labels[i - 1]) + "</text>\n";
  }
  svg += "</g>\n";
}

void WidthChain(std::string& svg, const Frame& f, const Chain& chain) {
  const double x = f.left - kChainGap;
  svg += "<g class=\"dimensions-width\">\n<line x1=\"" + Px(x) + "\" y1=\"" + Px(f.Y(chain.marks.front())) +
         "\" x2=\"" + Px(x) + "\" y2=\"" + Px(f.Y(chain.marks.back())) + "\"/>\n";
  for (std::size_t i = 0; i < chain.marks.size(); ++i) {
    const double y = f.Y(chain.marks[i]);
    svg += "<line x1=\"" + Px(x - 5) + "\" y1=\"" + Px(y) + "\" x2=\"" + Px(x + 5) + "\" y2=\"" + Px(y) + "\"/>\n";
    if (i == 0) continue;
    const double middle = (f.Y(chain.marks[i - 1]) + y) / 2;
    const bool narrow = f.Y(chain.marks[i - 1]) - y < LabelWidth(chain.labels[i - 1]);
    const double textX = narrow && i % 2 == 0 ? x + 14 : x - 4;
    svg += "<text x=\"" + Px(textX) + "\" y=\"" + Px(middle) + "\" text-anchor=\"middle\" transform=\"rotate(-90 " +
           Px(textX) + " " + Px(middle) + ")\">" + Xml(chain.labels[i - 1]) + "</text>\n";
  }
  svg += "</g>\n";
}

// The map as runs of equal colour along each row: a few thousand rectangles
// instead of one per point.
void CoverageLayer(std::string& svg, const Frame& f, const CoverageMap& map, const CoverageClasses& classes) {
  svg += "<g class=\"coverage\" shape-rendering=\"crispEdges\" stroke=\"none\">\n";
  const double cellLength = map.cellLength * f.scale, cellWidth = map.cellWidth * f.scale;
  std::vector<int> cls(map.columns);
  for (int r = 0; r < map.rows; ++r) {
    for (int c = 0; c < map.columns; ++c) cls[c] = classes.ClassOf(map.At(r, c));
    const double top = f.Y((r + 1) * map.cellWidth);
    for (int c = 0; c < map.columns;) {
      int end = c + 1;
      while (end < map.columns && cls[end] == cls[c]) ++end;
      svg += "<rect x=\"" + Px(f.left + c * cellLength) + "\" y=\"" + Px(top) + "\" width=\"" +
             Px((end - c) * cellLength) + "\" height=\"" + Px(cellWidth) + "\" fill=\"" + classes.Colour(cls[c]) +
             "\"/>\n";
      c = end;
    }
  }
  svg += "</g>\n";
}

// A colour bar with the band edges in dB under it.
void CoverageLegend(std::string& svg, double left, double top, const CoverageClasses& classes) {
  constexpr double kSwatch = 40;
  svg += "<g class=\"legend\">\n<text x=\"" + Px(left) + "\" y=\"" + Px(top + 9) + "\">dB SPL</text>\n";
  const double start = left + 48;
  for (int cls = 0; cls <= classes.bands + 1; ++cls) {
    const double x = start + cls * kSwatch;
    svg += "<rect x=\"" + Px(x) + "\" y=\"" + Px(top) + "\" width=\"" + Px(kSwatch) + "\" height=\"10\" fill=\"" +
           classes.Colour(cls) + "\" stroke=\"#606060\" stroke-width=\"0.5\"/>\n";
    if (cls > 0) {
      svg += "<text x=\"" + Px(x) + "\" y=\"" + Px(top + 22) + "\" text-anchor=\"middle\" font-size=\"9\">" +
             Bare(classes.low + cls - 1) + "</text>\n";
    }
  }
  svg += "</g>\n";
}

std::string LimitText(const RoomPlan& room) {
  if (room.cone) {
    return room.coneLayout.tapExceeded ? "More power than the highest tap: use more loudspeakers or a louder model."
                                       : "";
  }
  const LoudspeakerModel& model = ModelRow(room.inputs.modelIndex);
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
  const LoudspeakerModel& model = ModelRow(in.modelIndex);
  const char* unit = LengthUnit(metric);
  const long double length = in.roomLength, width = in.roomWidth;
  std::vector<std::string> lines;
  if (room.cone) {
    const cone::ConeLayout& l = room.coneLayout;
    const cone::ConeInputs& c = room.coneInputs;
    const cone::ConeModel& cm = cone::ConeModelRow(c.modelIndex);
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
                  " " + unit + "; dimensions in " + unit + " to loudspeaker centres");
  if (coverage) lines.push_back("Coverage (direct sound at ear level) " + CoverageText(coverage->summary, in));
  if (!drawn) lines.push_back("Too many loudspeakers to draw; their positions come with --csv-positions");
  return lines;
}

}  // namespace

int CoverageClasses::ClassOf(double spl) const {
  if (spl < low) return 0;
  const double band = std::floor(spl - low);
  return band >= bands ? (spl <= low + bands ? bands : bands + 1) : static_cast<int>(band) + 1;
}

std::string CoverageClasses::Colour(int cls) const {
  if (cls <= 0) return "#1f4e9c";
  if (cls > bands) return "#a50f15";
  // Blue-grey to white below the target, white to orange above it.
  const bool upper = cls > bands / 2;
  const double t = upper ? (cls - bands / 2 - 0.5) / (bands / 2) : (cls - 0.5) / (bands / 2);
  const int from[3] = {upper ? 0xfb : 0x7f, upper ? 0xee : 0xb2, upper ? 0xe6 : 0xda};
  const int to[3] = {upper ? 0xf0 : 0xee, upper ? 0x8a : 0xf4, upper ? 0x5d : 0xf8};
  char colour[8];
  int rgb[3];
  for (int k = 0; k < 3; ++k) rgb[k] = static_cast<int>(std::lround(from[k] + (to[k] - from[k]) * t));
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
  const std::vector<std::string> lines = TitleLines(room, metric, lineVolts, coverage, drawn);
  const std::string limits = LimitText(room);
  const double titleHeight = 36 + 16 * (lines.size() + (limits.empty() ? 0 : 1)) + (mapped ? 28 : 0);
  const double canvasHeight = titleTop + titleHeight + 12;
  CoverageClasses classes;
  classes.low = static_cast<double>(in.targetSpl) - in.splDeviation;
  classes.bands = 2 * static_cast<int>(in.splDeviation);

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
  LengthChain(svg, f, ChainFor(drawn ? xs : std::vector<long double>{}, length, spacingX, metric));
  WidthChain(svg, f, ChainFor(drawn ? ys : std::vector<long double>{}, width, spacingY, metric));
  svg += "</g>\n";

  // The title block: what an installer needs on site, and no date, so that
  // the same room always gives the same file.
  const double left = 12, right = canvasWidth - 12;
  svg += "<g class=\"title\">\n<rect x=\"" + Px(left) + "\" y=\"" + Px(titleTop) + "\" width=\"" + Px(right - left) +
         "\" height=\"" + Px(titleHeight) + "\" fill=\"none\" stroke=\"black\"/>\n";
  svg += "<text x=\"" + Px(left + 10) + "\" y=\"" + Px(titleTop + 22) + "\" font-size=\"16\" font-weight=\"bold\">" +
         Xml(room.name) + (room.zone != room.name ? "  (zone " + Xml(room.zone) + ")" : "") + "</text>\n";
  double y = titleTop + 42;
  for (const std::string& line : lines) {
    svg += "<text x=\"" + Px(left + 10) + "\" y=\"" + Px(y) + "\">" + Xml(line) + "</text>\n";
    y += 16;
  }
  if (!limits.empty()) {
    svg += "<text x=\"" + Px(left + 10) + "\" y=\"" + Px(y) + "\" fill=\"#c00000\" font-weight=\"bold\">" +
           Xml(limits) + "</text>\n";
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
                               CsvField(std::string(cone::ConeModelRow(room.coneInputs.modelIndex).name)) + ",";
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
                             CsvField(TrimmedName(ModelRow(room.inputs.modelIndex).name)) + ",";
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
