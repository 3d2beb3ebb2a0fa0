#include "hxplan/drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "cone/layout.h"
#include "coverage/planar.h"

namespace halvex::plan {
namespace {

RoomPlan Planned(const std::string& name, float length, float width, float ceiling, int deviation) {
  RoomPlan room;
  room.name = room.zone = name;
  room.inputs = {length, width, 5, ceiling, 90, static_cast<float>(deviation), 0};
  EXPECT_TRUE(ComputeLayoutFor(room.inputs, room.result));
  return room;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::string Group(const std::string& svg, const std::string& chain) {
  const std::size_t begin = svg.find("<g class=\"" + chain + "\">");
  return svg.substr(begin, svg.find("</g>", begin) - begin);
}

// The labels of one dimension chain, in drawing order.
std::vector<std::string> ChainLabels(const std::string& svg, const std::string& chain) {
  const std::string group = Group(svg, chain);
  std::vector<std::string> labels;
  const std::regex text(">([^<]+)</text>");
  for (auto it = std::sregex_iterator(group.begin(), group.end(), text); it != std::sregex_iterator(); ++it) {
    labels.push_back((*it)[1]);
  }
  return labels;
}

TEST(Drawing, EveryLoudspeakerAndTheDimensionChains) {
  const struct {
    RoomPlan room;
    bool metric;
    std::size_t symbols;
    std::vector<std::string> length, width;
    const char* title;
  } rows[] = {
      {Planned("Hall", 60, 40, 12, 0),
       false,
       12,
       {"7.5", "15", "15", "15", "7.5"},
       {"6.65", "13.3", "13.3", "6.75"},
       "4 x 3 = 12 loudspeakers, spacing 15 x 13.3 ft, target 90 dB SPL at ear level, deviation +-0 dB"},
      // 200 - (11.1 + 8 x 22.2) is 11.3 on site, whatever the float says.
      {Planned("Corridor", 200, 8, 9, 3),
       false,
       9,
       {"11.1", "22.2", "22.2", "22.2", "22.2", "22.2", "22.2", "22.2", "22.2", "11.3"},
       {"4", "4"},
       "9 x 1 = 9 loudspeakers, spacing 22.2 x - ft"},
      // Beyond the chain's limit: the walls, the first, the run to the last.
      // 400 / 82 = 4.878 is stored as 4.8: the last loudspeaker is 8.8 ft from the wall.
      // The room is 24 px high: the width chain's last label has no room left.
      {Planned("Arena", 400, 12, 7, 0),
       false,
       246,
       {"2.4", "81 x 4.8", "8.8"},
       {"2", "2 x 4"},
       "82 x 3 = 246 loudspeakers, spacing 4.8 x 4 ft"},
      {Planned("Metric", 60, 40, 12, 0),
       true,
       12,
       {"2.29", "4.57", "4.57", "4.57", "2.29"},
       {"2.03", "4.05", "4.05", "2.06"},
       "ear level 1.524 m, ceiling 3.658 m"},
      {Planned("Stadium", 4000, 4000, 6, 0), false, 0, {"4000"}, {"4000"}, "Too many loudspeakers to draw"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.room.name);
    const std::string svg = RoomSvg(row.room, row.metric, 70);
    EXPECT_EQ(Count(svg, "<g class=\"loudspeaker\">"), row.symbols);
    EXPECT_EQ(ChainLabels(svg, "dimensions-length"), row.length);
    EXPECT_EQ(ChainLabels(svg, "dimensions-width"), row.width);
    EXPECT_NE(svg.find(row.title), std::string::npos);
    EXPECT_EQ(svg, RoomSvg(row.room, row.metric, 70));  // reproducible: no date, no addresses
  }
}

// Unique without regard to case, safe on every system, in the order given.
TEST(Drawing, FileNamesArePlainAndUnique) {
  std::set<std::string> used;
  const std::pair<const char*, const char*> rows[] = {
      {"Hall 1/2", "Hall_1_2"}, {"Hall 1:2", "Hall_1_2-2"}, {"..", "_.."},        {"", "room"},
      {"Café", "Caf__"},        {"HALL_1_2", "HALL_1_2-3"}, {"hall", "hall"},     {"Hall", "Hall-2"},
      {"HALL", "HALL-3"},       {"CON", "CON_"},            {"con", "con_-2"},    {"lpt1.east", "lpt1_.east"},
      {"Com9", "Com9_"},        {"COM10", "COM10"},         {"-rf", "_-rf"},      {".plan", "_.plan"},
      {"nul.", "nul_."},        {"auxiliary", "auxiliary"}};
  for (const auto& [name, file] : rows) EXPECT_EQ(FileNameFor(name, used), file) << name;
}

TEST(Drawing, PositionsForCad) {
  std::string csv = PositionsCsvHeader(false);
  EXPECT_TRUE(AddPositions(Planned("Hall, east", 60, 40, 12, 0), false, csv));
  EXPECT_FALSE(AddPositions(Planned("Stadium", 1e9f, 1e9f, 6, 0), false, csv));
  EXPECT_EQ(Count(csv, "\r\n"), 13u);
  EXPECT_NE(csv.find("room,zone,model,number,x_ft,y_ft\r\n\"Hall, east\",\"Hall, east\",NV40,1,7.5,6.65\r\n"),
            std::string::npos);
  EXPECT_NE(csv.find(",NV40,5,7.5,19.95\r\n"), std::string::npos);  // the second row starts over along the length
  EXPECT_NE(csv.find(",NV40,12,52.5,33.25\r\n"), std::string::npos);
}

#ifdef HALVEX_RSVG_CONVERT
// A real renderer must take the drawing, markup, a name in another code page
// and a control byte included, and give a picture of its size.
TEST(Drawing, RendersWithRsvg) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / "hxplan-render";
  fs::create_directories(dir);
  const std::string svg = RoomSvg(Planned("Hall <east> & \"west\" caf\xE9\x01", 60, 40, 12, 0), false, 70);
  std::ofstream(dir / "hall.svg") << svg;
  const std::string command = std::string(HALVEX_RSVG_CONVERT) + " -o '" + (dir / "hall.png").string() + "' '" +
                              (dir / "hall.svg").string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream png(dir / "hall.png", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(png)), std::istreambuf_iterator<char>());
  fs::remove_all(dir);
  ASSERT_GT(bytes.size(), 24u);
  ASSERT_EQ(bytes.substr(12, 4), "IHDR");
  auto word = [&bytes](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  std::smatch size;
  ASSERT_TRUE(std::regex_search(svg, size, std::regex("width=\"([0-9]+)\" height=\"([0-9]+)\"")));
  EXPECT_EQ(word(16), std::stoul(size[1]));
  EXPECT_EQ(word(20), std::stoul(size[2]));
}
#endif

TEST(Coverage, ColourClassesSpanTheRoomsRange) {
  const struct {
    double min, max, target, deviation;
    double low, step;
    int bands;
    std::vector<std::pair<double, const char*>> levels;  // a level and the colour family of its class
  } rows[] = {
      // +-0: nothing is within, yet the 5.1 dB spread shows in six bands.
      {84.7, 89.8, 90, 0, 84, 1, 6, {{84.7, "blue"}, {89.8, "blue"}}},
      {85.1, 90.2, 90, 0, 85, 1, 6, {{85.1, "blue"}, {90.2, "red"}}},
      {82.3, 88.5, 90, 3, 82, 1, 7, {{82.3, "blue"}, {87.5, "green"}, {88.5, "green"}}},
      {95, 99, 90, 3, 95, 1, 5, {{95, "red"}, {99, "red"}}},  // wholly above the band: reds only
      {60, 100, 80, 6, 60, 5, 9, {{60, "blue"}, {80, "green"}, {100, "red"}}},
  };
  auto family = [](const std::string& colour) {
    const int r = std::stoi(colour.substr(1, 2), nullptr, 16), g = std::stoi(colour.substr(3, 2), nullptr, 16),
              b = std::stoi(colour.substr(5, 2), nullptr, 16);
    return b > r && b >= g ? "blue" : r > g && r > b ? "red" : "green";
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.min);
    const CoverageClasses classes = CoverageClasses::For(row.min, row.max, row.target, row.deviation);
    EXPECT_EQ(classes.low, row.low);
    EXPECT_EQ(classes.step, row.step);
    EXPECT_EQ(classes.bands, row.bands);
    std::set<std::string> colours;
    for (int cls = 0; cls < classes.bands; ++cls) colours.insert(classes.Colour(cls));
    EXPECT_EQ(colours.size(), static_cast<std::size_t>(classes.bands));  // every band tells itself apart
    for (const auto& [level, expected] : row.levels) {
      EXPECT_EQ(family(classes.Colour(classes.ClassOf(level))), std::string(expected)) << level;
    }
  }
}

// The coverage layer, painted cell by cell as a renderer would, shows every
// cell of the map in its class's colour exactly once, and lies on the room.
TEST(Coverage, EveryCellDrawnInItsColour) {
  auto cone = [](float length, float width, cone::Grid grid) {
    RoomPlan room;
    room.name = room.zone = "Cone";
    room.cone = true;
    room.inputs = {length, width, 4, 10, 88, 3, 0};
    room.coneInputs = {10, 4, length, width, 88, 0, cone::Pattern::kMinimumOverlap, grid, 0};
    room.coneModel = cone::ConeModelRow(0);
    EXPECT_EQ(cone::ComputeConeLayout(room.coneInputs, room.coneModel, room.coneLayout), cone::ConeStatus::kPlanned);
    return room;
  };
  const RoomPlan rooms[] = {Planned("Hall", 60, 40, 12, 3), Planned("Corridor", 200, 8, 9, 1),
                            Planned("Arena", 300, 190, 20, 2), cone(47, 31, cone::Grid::kHexagonal),
                            cone(20, 90, cone::Grid::kSquare)};
  for (const RoomPlan& room : rooms) {
    SCOPED_TRACE(room.name + " " + std::to_string(room.inputs.roomLength));
    const CoverageMap map = room.cone ? cone::ComputeConeCoverage(room.coneInputs, room.coneModel, room.coneLayout, 3)
                                      : ComputeCoverage(room.inputs, room.result);
    ASSERT_TRUE(map.summary.computed);
    const CoverageClasses classes =
        CoverageClasses::For(map.summary.min, map.summary.max, room.inputs.targetSpl, room.inputs.splDeviation);
    const std::string svg = RoomSvg(room, false, 70, &map);
    const std::string layer = svg.substr(svg.find("<g class=\"coverage\""));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(layer, m, std::regex("translate\\(([-0-9.]+) ([-0-9.]+)\\) scale\\(([-0-9.e]+) ([-0-9.e]+)\\)")));
    const double x0 = std::stod(m[1]), y0 = std::stod(m[2]), sx = std::stod(m[3]), sy = std::stod(m[4]);
    ASSERT_TRUE(std::regex_search(svg, m, std::regex("<rect class=\"room\" x=\"([-0-9.]+)\" y=\"([-0-9.]+)\" width=\"([-0-9.]+)\" height=\"([-0-9.]+)\"")));
    EXPECT_NEAR(x0, std::stod(m[1]), 0.01);
    EXPECT_NEAR(y0, std::stod(m[2]), 0.01);
    EXPECT_NEAR(sx * map.columns, std::stod(m[3]), 0.01);
    EXPECT_NEAR(sy * map.rows, std::stod(m[4]), 0.01);
    // Drawn rows count from the top, the map's from the wall at the bottom.
    std::vector<std::string> painted(static_cast<std::size_t>(map.rows) * map.columns);
    // Parsed by hand: std::regex recurses per character and overflows the
    // stack on a path of a few hundred kilobytes.
    const std::string body = layer.substr(0, layer.find("</g>"));
    const std::string open = "<path fill=\"";
    for (std::size_t at = body.find(open); at != std::string::npos; at = body.find(open, at)) {
      const std::string colour = body.substr(at + open.size(), 7);
      ASSERT_EQ(body.compare(at + open.size() + 7, 5, "\" d=\""), 0);
      at += open.size() + 12;
      const std::size_t end = body.find('"', at);
      std::istringstream d(body.substr(at, end - at));
      at = end;
      char move, h, v, h2, z;
      int c, r, w, height, back;
      while (d >> move >> c >> r >> h >> w >> v >> height >> h2 >> back >> z) {
        ASSERT_TRUE(move == 'M' && h == 'h' && v == 'v' && h2 == 'h' && z == 'z' && back == -w);
        ASSERT_TRUE(c >= 0 && r >= 0 && w > 0 && height > 0 && c + w <= map.columns && r + height <= map.rows);
        for (int y = r; y < r + height; ++y) {
          for (int x = c; x < c + w; ++x) {
            std::string& cell = painted[static_cast<std::size_t>(map.rows - 1 - y) * map.columns + x];
            EXPECT_TRUE(cell.empty()) << "cell " << x << ", " << y << " painted twice";
            cell = colour;
          }
        }
      }
      EXPECT_TRUE(d.eof()) << "a path holds more than blocks";
    }
    std::size_t wrong = 0;
    for (int r = 0; r < map.rows; ++r) {
      for (int c = 0; c < map.columns; ++c) {
        wrong += painted[static_cast<std::size_t>(r) * map.columns + c] != classes.Colour(classes.ClassOf(map.At(r, c)));
      }
    }
    EXPECT_EQ(wrong, 0u) << "of " << map.rows << " x " << map.columns << " cells";
  }
}

// Label boxes of both chains as a renderer draws 11 px DejaVu Sans: digits
// 7 px, 'x' 6.5, '=' 9.2, '.' and ' ' 3.5; 8.5 px above the baseline, 2.5 below.
struct Box {
  double x0, y0, x1, y1;
  std::string text;
};

std::vector<Box> LabelBoxes(const std::string& svg) {
  std::vector<Box> boxes;
  for (const char* chain : {"dimensions-length", "dimensions-width"}) {
    const std::string group = Group(svg, chain);
    const std::regex text("<text x=\"([-0-9.]+)\" y=\"([-0-9.]+)\" text-anchor=\"middle\"( transform)?[^>]*>([^<]+)</text>");
    for (auto it = std::sregex_iterator(group.begin(), group.end(), text); it != std::sregex_iterator(); ++it) {
      const double x = std::stod((*it)[1]), y = std::stod((*it)[2]);
      const std::string label = (*it)[4];
      double width = 0;
      for (const char c : label) width += c == 'x' ? 6.5 : c == '=' ? 9.2 : c == '.' || c == ' ' ? 3.5 : 7;
      // rotate(-90) turns the text's run up the page.
      boxes.push_back((*it)[3].matched ? Box{x - 8.5, y - width / 2, x + 2.5, y + width / 2, label}
                                       : Box{x - width / 2, y - 8.5, x + width / 2, y + 2.5, label});
    }
  }
  return boxes;
}

// What a chain's labels add up to, in hundredths: "81 x 4.8" is 388.8, "7 x 4.05 = 28.37" 28.37.
long long ChainSum(const std::vector<std::string>& labels) {
  long long sum = 0;
  for (const std::string& label : labels) {
    const std::size_t equals = label.find(" = "), times = label.find(" x ");
    const long double value = equals != std::string::npos ? std::stold(label.substr(equals + 3))
                              : times != std::string::npos ? std::stold(label.substr(0, times)) * std::stold(label.substr(times + 3))
                                                           : std::stold(label);
    sum += std::llround(value * 100);
  }
  return sum;
}

// Extreme rooms: the labels of the chains never overlap, the chains add up
// to the room, and the title block holds its text.
TEST(Drawing, ChainsAddUpAndLabelsNeverOverlap) {
  const std::string longName(300, 'W');
  const struct {
    RoomPlan room;
    bool metric;
    long long length, width;  // hundredths of the unit
  } rows[] = {
      {Planned("Long", 500, 40, 9, 0), false, 50000, 4000},
      {Planned("Low", 500, 40, 7, 0), false, 50000, 4000},
      {Planned("Odd", 26.158f, 10, 9, 3), false, 2616, 1000},
      {Planned("Metric", 328.084f, 26.2467f, 9, 0), true, 10000, 800},
      {Planned("Strip", 1000, 3, 7, 0), false, 100000, 300},
      {Planned("Tower", 3, 1000, 7, 0), false, 300, 100000},
      {Planned("Tiny", 0.5f, 0.5f, 9, 3), false, 50, 50},
      {Planned(longName, 20, 20, 9, 0), false, 2000, 2000},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.room.name.substr(0, 10));
    const std::string svg = RoomSvg(row.room, row.metric, 70);
    const std::vector<Box> boxes = LabelBoxes(svg);
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      for (std::size_t j = i + 1; j < boxes.size(); ++j) {
        const Box &a = boxes[i], &b = boxes[j];
        EXPECT_TRUE(a.x1 <= b.x0 || b.x1 <= a.x0 || a.y1 <= b.y0 || b.y1 <= a.y0)
            << "'" << a.text << "' and '" << b.text << "' overlap";
      }
    }
    // A chain with every label adds up to the room; a thinned one to less.
    const std::pair<const char*, long long> chains[] = {{"dimensions-length", row.length},
                                                        {"dimensions-width", row.width}};
    for (const auto& [chain, size] : chains) {
      const std::vector<std::string> labels = ChainLabels(svg, chain);
      const std::size_t segments = Count(Group(svg, chain), "<line") - 2;  // the chain line, then a tick a mark
      if (labels.size() == segments) {
        EXPECT_EQ(ChainSum(labels), size) << chain;
      } else {
        EXPECT_LT(ChainSum(labels), size) << chain;
      }
    }
    std::smatch canvas;
    ASSERT_TRUE(std::regex_search(svg, canvas, std::regex("width=\"([0-9.]+)\"")));
    // DejaVu Sans Bold's W is 1.03 em, its book face's widest small letters 0.98 em.
    const std::regex line("<text x=\"22\" y=\"[0-9.]+\"( font-size=\"16\")?[^>]*>([^<]*)</text>");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), line); it != std::sregex_iterator(); ++it) {
      const std::string text = (*it)[2];
      double width = 0;
      for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
        width += (*it)[1].matched ? (c == 'W' ? 16.5 : 12) : (c == 'm' || c == 'W' ? 10.8 : 7.2);
      }
      EXPECT_LE(22 + width, std::stod(canvas[1]) - 12) << text;
    }
  }
}

}  // namespace
}  // namespace halvex::plan
