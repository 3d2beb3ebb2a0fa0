#include "hxplan/project_reader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "hxplan/file_system.h"
#include "hxplan/tests/run_outcome.h"

namespace halvex::plan {
namespace {

namespace fs = std::filesystem;

// A project file in a fresh temporary directory, removed with the test.
class ProjectFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("hxplan-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& text, const std::string& name = "job.csv") {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  fs::path dir_;
};

TEST(Csv, NumberTexts) {
  for (const char* number : {"12", " -3.5 ", ".5e1", "5.", "1E+3", "2d-1", "&HFF", "&17", "+4"}) {
    EXPECT_TRUE(IsNumberText(number)) << number;
  }
  for (const char* text : {"", "abc", "1,500", "- 5", ".", "e5", "12 ft", "&", "1e5x"}) {
    EXPECT_FALSE(IsNumberText(text)) << text;
  }
}

TEST_F(ProjectFile, RoomsMatchTheCalculatorAndBadRowsAreReported) {
  const std::string path = Write(
      "Room,Length,Width,Ear_Level,Ceiling,SPL,Deviation,Model,Zone\r\n"
      "Office,20,15,5,9,90,,,Hall\r\n"
      "Canteen,60,40,5,12,90,0,nv40,Hall\r\n"
      "Stage,20,15,5,12,102,,MW3018K,\r\n"
      "Short,20,15,5\r\n"
      "Wordy,twenty,15,5,9,90\r\n"
      "Upside,20,15,9,5,90\r\n"
      "Odd,20,15,5,9,90,,NV99\r\n"
      "Comma,1,500,15,5,9,90,3,NV40,Hall\r\n"
      "Swing,20,15,5,9,90,7\r\n"
      "\r\n"
      "Signed,-20,-15,-5,-9,-90\r\n");
  const Outcome o = RunWith({"--project", path, "--json"});
  EXPECT_EQ(o.status, 1);
  for (const char* says : {":5: missing column 'ceiling'", ":6: 'twenty' in column 'length' is not a number",
                           ":7: ceiling 5 is not above the ear level 9", ":8: unknown model 'NV99'",
                           ":9: 10 fields but 9 columns", ":10: deviation '7' is not a whole number"}) {
    EXPECT_TRUE(Has(o.err, says)) << says << "\n" << o.err;
  }
  // Each room gives the figures the calculator shows for the same values.
  EXPECT_TRUE(Has(o.out, "\"room\": \"Office\", \"zone\": \"Hall\", \"model\": \"NV40\""));
  EXPECT_TRUE(Has(o.out,
                  "\"countX\": 4, \"countY\": 3, \"totalCount\": 12, \"spacingX\": 15, \"spacingY\": 13.3, "
                  "\"firstX\": 7.5, \"firstY\": 6.65, \"nominalSpacing\": 17, \"powerRequired\": 2.1, \"tap\": 2"));
  EXPECT_TRUE(Has(o.out, "\"zone\": \"Stage\", \"model\": \"MW3018K\""));
  EXPECT_TRUE(Has(o.out, "\"powerRequired\": 54.9, \"tap\": 64, \"powerExceeded\": false, \"tapExceeded\": true"));
  EXPECT_TRUE(Has(o.out, "\"room\": \"Signed\", \"zone\": \"Signed\", \"model\": \"NV40\", \"length\": 20"));
  // Hall: 1 x .5 W + 12 x 2 W = 24.5 W; 24.5 / 0.8 = 30.625 W; 70.7² / 24.5 = 204.02 ohms.
  EXPECT_TRUE(Has(o.out,
                  "{\"zone\": \"Hall\", \"rooms\": 2, \"loudspeakers\": 13, \"withoutTap\": 0, "
                  "\"tapSum\": 24.5, \"amplifier\": 30.625, \"impedance\": 204, \"line\": null}"));
  EXPECT_TRUE(Has(o.out,
                  "{\"zone\": \"Stage\", \"rooms\": 1, \"loudspeakers\": 1, \"withoutTap\": 0, "
                  "\"tapSum\": 64, \"amplifier\": 80, \"impedance\": 78.1, \"line\": null}"));
  EXPECT_TRUE(Has(o.out, "{\"model\": \"NV40\", \"loudspeakers\": 14}"));
  EXPECT_TRUE(Has(o.out, "{\"line\": 6, \"reason\": \"'twenty' in column 'length' is not a number\"}"));

  const Outcome text = RunWith({"--project", path, "--line", "100"});
  EXPECT_EQ(text.status, 1);
  EXPECT_TRUE(
      Has(text.out,
          "Canteen [Hall]: 60 x 40 ft, 2400 ft², 4 x 3 = 12 NV40, spacing 15 x 13.3 ft, first 7.5 x 6.65 ft from the "
          "walls, 2.1 W each, tap 2 W, within limits"));
  EXPECT_TRUE(Has(text.out, "Office [Hall]: 20 x 15 ft, 300 ft², 1 x 1 = 1 NV40, spacing - x - ft"));
  EXPECT_TRUE(Has(text.out, "Stage: 20 x 15 ft, 300 ft², 1 x 1 = 1 MW3018K"));
  EXPECT_TRUE(Has(text.out, "tap 64 W, tap above the model's highest tap"));
  // 100² / 24.5 = 408.16 ohms.
  EXPECT_TRUE(Has(text.out, "Hall: 2 rooms, 13 loudspeakers, taps 24.5 W, amplifier 30.625 W, load 408.2 ohms"));
}

TEST_F(ProjectFile, MetricRoomsAreTheSameRoomsInFeet) {
  // 6.096 m = 20 ft exactly: the calculation must see the feet of the window.
  const std::string path = Write(
      "room,length,width,ear_level,ceiling,spl,deviation\n"
      "Office,6.096,4.572,1.524,2.7432,90,\n"
      "Canteen,18.288,12.192,1.524,3.6576,90,0\n");
  const Outcome o = RunWith({"--project", path, "--metric"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(Has(o.out, "Units             metres and m², converted to feet for the calculation (1 ft = .3048 m)"));
  EXPECT_TRUE(Has(o.out,
                  "Office: 6.096 x 4.572 m, 27.87 m², 1 x 1 = 1 NV40, spacing - x - m, first 3.05 x 2.29 "
                  "m from the walls, .7 W each, tap .5 W"));
  // 13.3 ft = 4.05384 m and 6.65 ft = 2.02692 m: positions to the centimetre.
  EXPECT_TRUE(Has(o.out,
                  "Canteen: 18.288 x 12.192 m, 222.97 m², 4 x 3 = 12 NV40, spacing 4.57 x 4.05 m, first "
                  "2.29 x 2.03 m from the walls, 2.1 W each, tap 2 W"));
  const Outcome json = RunWith({"--project", path, "--metric", "--json"});
  EXPECT_TRUE(Has(json.out, "\"units\": \"m\""));
  EXPECT_TRUE(Has(json.out, "\"length\": 6.096, \"width\": 4.572, \"area\": 27.87, \"earLevel\": 1.524"));
}

TEST_F(ProjectFile, CoverageFiguresPerRoom) {
  const std::string path = Write(
      "room,length,width,ear_level,ceiling,spl,model\nSquare,10.5,10.5,5,9,90,\n"
      "Loud,20,15,5,12,103,MW3018K\nStage,20,15,5,12,102,MW3018K\n");
  const Outcome o = RunWith({"--project", path, "--coverage", "--json"});
  EXPECT_EQ(o.status, 0) << o.err;
  // The single loudspeaker of the coverage tests: 89 of 441 cells within 90
  // +-3 dB, a spread of 6.2 dB where 6 are allowed.
  EXPECT_TRUE(Has(o.out, "\"coverage\": {\"min\": 82.3, \"max\": 88.5, \"share\": 20.1, \"fails\": true}")) << o.out;
  EXPECT_TRUE(Has(o.out, "\"coverage\": {\"reason\": \"no tap fits the power required\"}"));
  // 54.9 W asks for the 64 W tap; the installer can set 32 W at most, 3 dB less.
  EXPECT_TRUE(Has(o.out, "\"coverage\": {\"min\": 93.7, \"max\": 99.7, \"share\": 9.3, \"fails\": false}")) << o.out;
  EXPECT_TRUE(Has(o.out, "\"coverageFailures\": 1,"));
  const Outcome text = RunWith({"--project", path, "--coverage"});
  EXPECT_TRUE(Has(text.out, "tap .5 W, coverage fails\n    coverage 82.3 to 88.5 dB, spread 6.2 dB (+-3 allows 6), 20.1 % "
                            "within 90 +-3 dB\n"))
      << text.out;
  EXPECT_TRUE(Has(text.out, "Rooms             3 planned, coverage fails in 1\n"));
  EXPECT_EQ(RunWith({"--project", path, "--coverage", "--strict"}).status, 1);
}

TEST_F(ProjectFile, FilesThatAreNoProject) {
  const struct {
    const char* name;
    std::string text;
    const char* says;
  } rows[] = {
      {"empty", "", "empty: no header row"},
      {"blank", " \r\n\r\n", "empty: no header row"},
      {"binary", std::string("PK\x03\x04\0\0", 6), "not a CSV text file"},
      {"no header", "Office,20,15,5,9,90\n", "line 1 is not a header row: no column room, length"},
      {"twice", "room,length,width,ear_level,ceiling,spl,ROOM\n", "column 'room' named twice"},
      {"semicolons", "room;length;width;ear_level;ceiling;spl\n", "separated by commas, not semicolons"},
      {"open quote", "\"room,length\n", "line 1: a quoted field is not closed"},
      {"typo", "room,length,width,ear_level,ceiling,spl,devation,modle,zones\n",
       "unknown column 'devation': did you mean 'deviation'?"},
      {"swap", "room,length,width,ear_level,ceiling,spl,modle\n", "unknown column 'modle': did you mean 'model'?"},
      {"far", "room,length,width,ear_level,ceiling,spl,Colour\n", "unknown column 'Colour' (known: room, length"},
      {"latin-1 header", "room,length,width,ear_level,ceiling,spl,r\xE9seau\n", "field 7 is not UTF-8 text"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Outcome o = RunWith({"--project", Write(row.text)});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(Has(o.err, row.says)) << o.err;
    EXPECT_EQ(o.out, "");
    // A program reading the JSON gets a document that says why.
    const Outcome json = RunWith({"--json", "--project", Write(row.text)});
    EXPECT_EQ(json.status, 2);
    EXPECT_EQ(json.out.rfind("{\"error\": \"", 0), 0u) << json.out;
    EXPECT_TRUE(Has(json.out, row.says)) << json.out;
  }
  const Outcome missing = RunWith({"--project", (dir_ / "none.csv").string()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(Has(missing.err, "cannot open")) << missing.err;
  const Outcome directory = RunWith({"--project", dir_.string(), "--json"});
  EXPECT_EQ(directory.status, 2);
  EXPECT_TRUE(Has(directory.err, "is a directory, not a project file")) << directory.err;
  EXPECT_TRUE(Has(directory.out, "{\"error\": ")) << directory.out;
  const Outcome positions = RunWith({"--csv-positions", "--json"});
  EXPECT_EQ(positions.status, 2);
  EXPECT_TRUE(Has(positions.out, "{\"error\": \"--csv-positions and --json do not go together")) << positions.out;
  // A drawing directory that cannot be made is said once, and the plan still comes.
  const Outcome blocked = RunWith({"--project",
                                   Write("room,length,width,ear_level,ceiling,spl\na,20,15,5,9,90\n"
                                         "b,20,15,5,9,90\n"),
                                   "--svg", Write("", "file") + "/plans"});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_TRUE(Has(blocked.err, "cannot make the directory")) << blocked.err;
  EXPECT_EQ(blocked.err.find('\n'), blocked.err.size() - 1) << blocked.err;
  EXPECT_TRUE(Has(blocked.out, "Total             2 loudspeakers"));
  const Outcome both = RunWith({"--project", (dir_ / "none.csv").string(), "12,5,60,40,90"});
  EXPECT_EQ(both.status, 2);
  EXPECT_TRUE(Has(both.err, "room values and --project do not go together")) << both.err;
#ifndef _WIN32
  // The file's name on the plan's first line stays on that line.
  const Outcome named =
      RunWith({"--project", Write("room,length,width,ear_level,ceiling,spl\na,20,15,5,9,90\n", "odd\nname.csv")});
  EXPECT_TRUE(Has(named.out, "odd\\x0Aname.csv\nLine ")) << named.out;
#endif
  const Outcome line = RunWith({"--line", "110"});
  EXPECT_EQ(line.status, 2);
  EXPECT_TRUE(Has(line.err, "line must be 70 or 100")) << line.err;
}

// Rows that are no real room, or need more than a plan takes, are refused
// with their line; the other rows are planned and totalled.
TEST_F(ProjectFile, RowsBeyondARealRoomAreRefused) {
  const std::string path = Write(
      "room,length,width,ear_level,ceiling,spl,zone,\"deviation\" \r\n"
      "Fine,20,15,5,9,90,All,\r\n"
      "Huge,1e39,15,5,9,90,All,\r\n"
      "Zero,0,15,5,9,90,All,\r\n"
      "Narrow,20,0,5,9,90,All,\r\n"
      "Wide,20000,15,5,9,90,All,\r\n"
      "Crowd,5000,5000,5,6,90,All,\r\n"
      "Loud,20,15,5,9,1e30,All,\r\n"
      "Caf\xE9,20,15,5,9,90,All,\r\n");
  const Outcome o = RunWith({"--project", path, "--json"});
  EXPECT_EQ(o.status, 1);
  for (const char* says : {":3: '1e39' in column 'length' is beyond the range of a single-precision number",
                           ":4: length must be above 0", ":5: width must be above 0",
                           ":6: length 20000 ft is beyond the largest room (10000 ft)",
                           ":7: 842724 loudspeakers: more than the 100000 a room's plan takes",
                           ":8: the power required is beyond any number",
                           ":9: field 1 is not UTF-8 text; for Latin-1 use --encoding latin1"}) {
    EXPECT_TRUE(Has(o.err, says)) << says << "\n" << o.err;
  }
  EXPECT_TRUE(Has(o.out, "{\"zone\": \"All\", \"rooms\": 1, \"loudspeakers\": 1,")) << o.out;
  EXPECT_FALSE(Has(o.out, "E+")) << o.out;
  // Latin-1 when asked for: the room keeps its name, as UTF-8.
  const Outcome latin1 = RunWith({"--project", path, "--json", "--encoding", "latin1"});
  EXPECT_TRUE(Has(latin1.out, "\"room\": \"Caf\xC3\xA9\"")) << latin1.out;
  // A room of the command line with drawings, positions or coverage is held
  // to the same limits; without them it shows what the window would.
  const Outcome coverage = RunWith({"--coverage", "30,1.2,1e30,1e30,90"});
  EXPECT_EQ(coverage.status, 2);
  EXPECT_TRUE(Has(coverage.err, "length 1E+30 ft is beyond the largest room")) << coverage.err;
  const Outcome window = RunWith({"--json", "--", "1e39", "5", "20", "15", "90"});
  EXPECT_EQ(window.status, 0);
  EXPECT_TRUE(Has(window.out, "\" 9.999999E+998\"")) << window.out;
}

// Plans go into the folder as files of their own: never through a link,
// over another file only when it is a plan of the same project, and with
// names no system confuses.
TEST_F(ProjectFile, PlansAreWrittenOnlyAsFilesOfTheirOwn) {
  const std::string project = Write(
      "room,length,width,ear_level,ceiling,spl\n"
      "Hall,20,15,5,9,90\nhall,30,15,5,9,90\nHALL,40,15,5,9,90\nCON,20,15,5,9,90\n"
      "-rf,20,15,5,9,90\n.hidden,20,15,5,9,90\nLobby,20,15,5,9,90\nLinked,20,15,5,9,90\n");
  const fs::path plans = dir_ / "plans";
  fs::create_directories(plans);
  auto read = [](const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  };
  std::ofstream(plans / "Lobby.svg", std::ios::binary) << "<svg><!-- drawn by hand --></svg>";
  const std::string outside = Write("precious", "outside.txt");
  std::error_code noLinks;
  fs::create_symlink(outside, plans / "Linked.svg", noLinks);

  const Outcome first = RunWith({"--project", project, "--svg", plans.string()});
  EXPECT_EQ(first.status, 1);
  EXPECT_TRUE(Has(first.err, "Lobby.svg is there and is not a plan hxplan drew of this project (another file)"))
      << first.err;
  EXPECT_EQ(read(plans / "Lobby.svg"), "<svg><!-- drawn by hand --></svg>");
  if (!noLinks) {
    EXPECT_TRUE(Has(first.err, "Linked.svg is there and is not a plan hxplan drew of this project (a link)"));
    EXPECT_EQ(read(outside), "precious");
  }
  // Every room in a file of its own, each named in the plan.
  const struct {
    const char* room;
    const char* file;
    const char* title;
  } rows[] = {{"Hall", "Hall.svg", "Room 20 x 15 ft"},   {"hall", "hall-2.svg", "Room 30 x 15 ft"},
              {"HALL", "HALL-3.svg", "Room 40 x 15 ft"}, {"CON", "CON_.svg", "<title>CON</title>"},
              {"-rf", "_-rf.svg", "<title>-rf</title>"}, {".hidden", "_.hidden.svg", "<title>.hidden</title>"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    EXPECT_TRUE(Has(read(plans / row.file), row.title));
    EXPECT_TRUE(Has(first.out, std::string("\n    drawing ") + row.file + "\n")) << first.out;
  }
  // The plans of this project are replaced; another project's are not.
  fs::remove(plans / "Lobby.svg");
  fs::remove(plans / "Linked.svg");
  const Outcome again = RunWith({"--project", project, "--svg", plans.string()});
  EXPECT_EQ(again.status, 0) << again.err;
  const Outcome other = RunWith({"--project", Write(read(project), "other.csv"), "--svg", plans.string()});
  EXPECT_EQ(other.status, 1);
  EXPECT_TRUE(Has(other.err, "Hall.svg is there and is not a plan hxplan drew of this project")) << other.err;
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(plans)) files += entry.path().extension() == ".svg" ? 1 : 100;
  EXPECT_EQ(files, 8u);  // and no temporary file left behind
}

TEST_F(ProjectFile, DrawingDirectoriesAreMadeAsDeepAsNeeded) {
  const std::string base = dir_.string(), file = Write("", "file");
  const struct {
    std::string path;
    int error;
  } rows[] = {
      {base + "/a/b/c", 0},
      {base + "/a/b/c", 0},  // already there
      {base + "/d//e/", 0},
      {file, ENOTDIR},
      {file + "/below", ENOTDIR},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    EXPECT_EQ(MakeDirectories(row.path), row.error);
    EXPECT_EQ(IsDirectory(row.path), row.error == 0);
  }
#ifdef _WIN32
  const char* separator = "\\";
#else
  const char* separator = "/";
#endif
  EXPECT_EQ(PathIn("plans", "a.svg"), std::string("plans") + separator + "a.svg");
  EXPECT_EQ(PathIn("plans/", "a.svg"), "plans/a.svg");
}

}  // namespace
}  // namespace halvex::plan
