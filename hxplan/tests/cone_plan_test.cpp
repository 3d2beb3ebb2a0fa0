#include "hxplan/cone_plan.h"

#include <gtest/gtest.h>

#include "hxplan/tests/run_outcome.h"

namespace halvex::plan {
namespace {

// The worked examples through the command line, and its refusals.
TEST(ConePlan, CommandLine) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::vector<const char*> says;  // in out for status 0, else in err
  } rows[] = {
      {{"--cone", "9,5,20,15,90"},
       0,
       {"Coverage radius   5.7 ft", "Nominal spacing   8.1 ft", "3 along the length x 2 rows = 6\n",
        "Spacing           6.7 ft along the length, 7.5 ft between rows",
        "First loudspeaker 3.3 ft from the wall along the length, 3.8 ft along the width", "Power required    3 W",
        "70 V tap          4 W\n", "load 24 W, amplifier 30 W", "Level             83.5 to 91.9 dB"}},
      {{"--model", "c4", "--grid", "hex", "--json", "9,5,20,15,90"},
       0,
       {"\"nominalSpacing\": 9.9,", "\"rows\": 2,", "\"totalCount\": 5,", "\"min\": 78.3, \"max\": 91.9"}},
      {{"--cone", "--headroom=6", "9,5,20,15,90"},
       0,
       {"Power required    11.9 W", "16 W", "load 96 W, amplifier 120 W"}},
      {{"--model", "C8P", "--pattern", "centre", "--grid", "hex", "--json", "10,4,60,36,88"},
       0,
       {"\"countX\": 10,", "\"rows\": 7,", "\"totalCount\": 67,", "\"powerRequired\": 0.7,", "\"amplifier\": 83.8,",
        "\"min\": 86.5, \"max\": 92.6"}},
      {{"--cone", "--model", "C8P", "40,4,60,60,110"},
       0,
       {"70 V tap          4 W  (the highest tap)",
        "Warning           More power than the highest tap: use more loudspeakers or a louder model."}},
      {{"--cone", "5,9,20,15,90"}, 2, {"hxplan: The ceiling must be above the ear level.\n"}},
      {{"--cone", "9,5,1e39,15,90"}, 2, {"hxplan: The room length is too large.\n"}},
      {{"--cone", "--pattern", "wide"}, 2, {"unknown pattern 'wide' (choices: edge, min, centre)"}},
      {{"--cone", "--grid", "round"}, 2, {"unknown grid 'round' (choices: square, hex)"}},
      {{"--cone", "--headroom", "5"}, 2, {"unknown headroom '5' (choices: 0, 3, 6, 10 dB)"}},
      {{"--cone", "--model", "NV40"}, 2, {"unknown cone model 'NV40' (choices: C4, C3W, C4W, C5, C6, C8, C8P or C8X"}},
      {{"--grid", "hex"}, 2, {"--grid is for cone plans"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments.back());
    const Outcome o = RunWith(row.arguments);
    EXPECT_EQ(o.status, row.status) << o.err;
    for (const char* part : row.says) EXPECT_TRUE(Has(row.status == 0 ? o.out : o.err, part)) << part << "\n" << o.out;
  }
}

TEST(ConePlan, ProjectRoomsOfBothKinds) {
  const std::string path = ::testing::TempDir() + "cone-project.csv";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs(
      "room,length,width,ear_level,ceiling,spl,model,kind,pattern,grid,headroom,zone\n"
      "Office,20,15,5,9,90,,,,,,Hall\n"
      "Lobby,20,15,5,9,90,C4,,min,hex,,Hall\n"
      "Canteen,60,40,5,12,90,C6,,,,,\n"
      "Wide,20,15,5,9,90,C4,,wide,,,\n"
      "Loud,20,15,5,9,90,,cone,,,7,\n"
      "Low,20,15,9,5,90,C4,,,,,\n"
      "Odd,20,15,5,9,90,,disc,,,,\n",
      file);
  std::fclose(file);
  const Outcome o = RunWith({"--project", path, "--json", "--coverage"});
  EXPECT_EQ(o.status, 1);
  for (const char* says : {":5: unknown pattern 'wide'", ":6: unknown headroom '7'",
                           ":7: The ceiling must be above the ear level.", ":8: unknown kind 'disc'"}) {
    EXPECT_TRUE(Has(o.err, says)) << says << "\n" << o.err;
  }
  EXPECT_TRUE(Has(o.out, "\"model\": \"NV40\"")) << o.out;
  EXPECT_TRUE(Has(o.out,
                  "\"totalCount\": 5, \"spacingX\": 6.7, \"spacingY\": 7.5, \"firstX\": 3.3, \"firstY\": 3.8, "
                  "\"nominalSpacing\": 9.9, \"powerRequired\": 3, \"tap\": 4"));
  EXPECT_TRUE(Has(o.out, "\"kind\": \"cone\", \"pattern\": \"minimum overlap\", \"grid\": \"hexagonal\""));
  EXPECT_TRUE(Has(o.out, "\"load\": 120, \"amplifier\": 150, \"coverage\": {\"min\": 83.1, \"max\": 92.3"));
  // Hall: one NV40 at .5 W and five C4 at 4 W.
  EXPECT_TRUE(
      Has(o.out, "{\"zone\": \"Hall\", \"rooms\": 2, \"loudspeakers\": 6, \"withoutTap\": 0, \"tapSum\": 20.5"));
  EXPECT_TRUE(Has(o.out, "{\"model\": \"C4\", \"loudspeakers\": 5}"));
  const Outcome positions = RunWith({"--project", path, "--csv-positions"});
  EXPECT_TRUE(Has(positions.out, "Lobby,Hall,C4,4,6.67,11.25\r\nLobby,Hall,C4,5,13.33,11.25\r\n")) << positions.out;
  std::remove(path.c_str());
}

}  // namespace
}  // namespace halvex::plan
