#include "hxplan/project_reader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

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
                  "\"tapSum\": 24.5, \"amplifier\": 30.625, \"impedance\": 204}"));
  EXPECT_TRUE(Has(o.out,
                  "{\"zone\": \"Stage\", \"rooms\": 1, \"loudspeakers\": 1, \"withoutTap\": 0, "
                  "\"tapSum\": 64, \"amplifier\": 80, \"impedance\": 78.1}"));
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
      "Loud,20,15,5,12,103,MW3018K\n");
  const Outcome o = RunWith({"--project", path, "--coverage", "--json"});
  EXPECT_EQ(o.status, 0) << o.err;
  // The single loudspeaker of the coverage tests: 89 of 441 cells within 90 +-3 dB.
  EXPECT_TRUE(Has(o.out, "\"coverage\": {\"min\": 82.3, \"max\": 88.5, \"share\": 20.1, \"fails\": true}")) << o.out;
  EXPECT_TRUE(Has(o.out, "\"coverage\": {\"reason\": \"no tap fits the power required\"}"));
  const Outcome text = RunWith({"--project", path, "--coverage"});
  EXPECT_TRUE(Has(text.out, "\n    coverage 82.3 to 88.5 dB, spread 6.2 dB (+-3 allows 6), 20.1 % within 90 +-3 dB\n"));
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
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const Outcome o = RunWith({"--project", Write(row.text)});
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(Has(o.err, row.says)) << o.err;
    EXPECT_EQ(o.out, "");
  }
  const Outcome missing = RunWith({"--project", (dir_ / "none.csv").string()});
  EXPECT_EQ(missing.status, 2);
  EXPECT_TRUE(Has(missing.err, "cannot open")) << missing.err;
  const Outcome directory = RunWith({"--project", dir_.string()});
  EXPECT_EQ(directory.status, 2);
  EXPECT_TRUE(Has(directory.err, "is a directory, not a project file")) << directory.err;
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
  const Outcome line = RunWith({"--line", "110"});
  EXPECT_EQ(line.status, 2);
  EXPECT_TRUE(Has(line.err, "line must be 70 or 100")) << line.err;
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
