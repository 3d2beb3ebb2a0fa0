#include "hxplan/drawing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

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

// The labels of one dimension chain, in drawing order.
std::vector<std::string> ChainLabels(const std::string& svg, const std::string& chain) {
  const std::size_t begin = svg.find("<g class=\"" + chain + "\">");
  const std::string group = svg.substr(begin, svg.find("</g>", begin) - begin);
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
      // Beyond the chain's limit: the walls, the first two, the run between, the last.
      // 400 / 82 = 4.878 is stored as 4.8: the last loudspeaker is 8.8 ft from the wall.
      {Planned("Arena", 400, 12, 7, 0),
       false,
       246,
       {"2.4", "4.8", "80 x 4.8", "8.8"},
       {"2", "4", "4", "2"},
       "82 x 3 = 246 loudspeakers, spacing 4.8 x 4 ft"},
      {Planned("Metric", 60, 40, 12, 0),
       true,
       12,
       {"2.29", "4.57", "4.57", "4.57", "2.29"},
       {"2.03", "4.05", "4.05", "2.06"},
       "dimensions in m to loudspeaker centres"},
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

TEST(Coverage, ColourClassesFollowTheAllowedRange) {
  const CoverageClasses classes{87, 6};
  const std::pair<double, int> rows[] = {{86.99, 0}, {87, 1}, {87.99, 1}, {88, 2}, {92.5, 6}, {93, 6}, {93.01, 7}};
  for (const auto& [spl, cls] : rows) EXPECT_EQ(classes.ClassOf(spl), cls) << spl;
}

}  // namespace
}  // namespace halvex::plan
