#include "hxplan/plan.h"

#include <gtest/gtest.h>

#include "hxplan/tests/run_outcome.h"

namespace halvex::plan {
namespace {

TEST(Hxplan, DefaultRoomAsJson) {
  const Outcome o = RunWith({"--json", "9,5,20,15,90"});
  ASSERT_EQ(o.status, 0) << o.err;
  for (const char* line : {"\"firstX\": \" 10\"", "\"spacingX\": null", "\"firstY\": \" 7.5\"", "\"spacingY\": null",
                           "\"totalCount\": \" 1\"", "\"nominalSpacing\": \" 21\"", "\"sensitivity\": \" 94\"",
                           "\"powerRequired\": \" .7\"", "\"maxPower\": \" 16\"", "\"tap\": \" .5\"",
                           "\"powerExceeded\": false", "\"tapExceeded\": false", "\"warning\": false"}) {
    EXPECT_TRUE(Has(o.out, line)) << line << "\n" << o.out;
  }
  EXPECT_EQ(o.err, "");
}

TEST(Hxplan, ModelByNameAndTapOverTheLimit) {
  const Outcome o = RunWith({"--json", "--model", "MW3018K", "12,5,20,15,102"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(Has(o.out, "\"powerRequired\": \" 54.9\""));
  EXPECT_TRUE(Has(o.out, "\"tap\": \" 64\""));
  EXPECT_TRUE(Has(o.out, "\"tapExceeded\": true"));
  EXPECT_TRUE(Has(o.out, "\"powerExceeded\": false"));
  EXPECT_TRUE(Has(o.out, "\"warning\": true"));
}

TEST(Hxplan, SpacingsShowWhenCountsAreAboveOne) {
  const Outcome o = RunWith({"--json", "--deviation", "0", "12", "5", "60", "40", "90"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(Has(o.out, "\"spacingX\": \" 15\""));
  EXPECT_TRUE(Has(o.out, "\"spacingY\": \" 13.3\""));
  EXPECT_TRUE(Has(o.out, "\"firstY\": \" 6.65\""));
  EXPECT_TRUE(Has(o.out, "\"totalCount\": \" 12\""));
  EXPECT_TRUE(Has(o.out, "\"nominalSpacing\": \" 17\""));
}

TEST(Hxplan, EmptyRoomHasAnEmptyCount) {
  const Outcome o = RunWith({"--json", "9,5,0,0,90"});
  ASSERT_EQ(o.status, 0);
  EXPECT_TRUE(Has(o.out, "\"totalCount\": \"\""));
}

TEST(Hxplan, ValuesAreReadAsTypedFields) {
  // Signs are dropped and text that is not a number reads as 0.
  const Outcome negative = RunWith({"--json", "--", "-9", "-5", "-20", "-15", "-90"});
  const Outcome positive = RunWith({"--json", "9,5,20,15,90"});
  ASSERT_EQ(negative.status, 0) << negative.err;
  EXPECT_EQ(negative.out, positive.out);
  const Outcome text = RunWith({"--json", "9,5,abc,15,90"});
  ASSERT_EQ(text.status, 0);
  EXPECT_TRUE(Has(text.out, "\"firstX\": \" 0\""));
  const Outcome quoted = RunWith({"--json", "\"9\", 5 ,20,15,90"});
  EXPECT_EQ(quoted.out, positive.out);
}

TEST(Hxplan, PlainPlanIsReadable) {
  const Outcome o = RunWith({"--model", "4", "12,5,20,15,102"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(Has(o.out, "Loudspeakers      1 along the length x 1 along the width = 1"));
  EXPECT_TRUE(Has(o.out, "MW3018K: sensitivity 92 dB"));
  EXPECT_TRUE(Has(o.out, "Power required    54.9 W"));
  EXPECT_TRUE(Has(o.out, "70 V tap          64 W"));
  EXPECT_TRUE(Has(o.out, "Power required exceeds Max. Power Handling"));
  const Outcome fine = RunWith({});
  EXPECT_EQ(fine.status, 0);
  EXPECT_TRUE(Has(fine.out, "First loudspeaker 10 ft from the wall along the length, 7.5 ft along the width"));
  EXPECT_FALSE(Has(fine.out, "Warning"));
}

TEST(Hxplan, ModelNames) {
  const struct {
    const char* model;
    const char* sensitivity;
  } rows[] = {{"mw3009p", "\" 89\""}, {"LX7R     ", "\" 90\""}, {"Lx7r", "\" 90\""}, {"0", "\" 94\""}, {"5", "\" 89\""}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.model);
    const Outcome o = RunWith({"--json", "--model=" + std::string(row.model)});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(Has(o.out, std::string("\"sensitivity\": ") + row.sensitivity));
  }
}

TEST(Hxplan, BadUseIsOneLineAndStatus2) {
  const struct {
    std::vector<std::string> arguments;
    const char* says;
  } rows[] = {
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"-20", "15"}, "unknown option '-20'"},
      {{"--deviation", "7"}, "deviation must be a whole number from 0 to 6"},
      {{"--deviation", "-1"}, "deviation"},
      {{"--deviation"}, "--deviation needs a value"},
      {{"--model", "NV99"}, "unknown model 'NV99'"},
      {{"--model", "7"}, "unknown model '7'"},
      {{"9,5,20"}, "expected 5 room values"},
      {{"9", "5", "20", "15"}, "got 4"},
      {{"9,5,20,15,90,1"}, "got 6"},
      {{"5,5,20,15,90"}, "ear level must be below the ceiling height"},
      {{"4,5,20,15,90"}, "ear level must be below the ceiling height"},
      {{"1e40,1e39,20,15,90"}, "both too large to calculate with"},
      {{"--model", "\x1b[2J\x07"}, "unknown model '\\x1B[2J\\x07'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.says);
    const Outcome o = RunWith(row.arguments);
    EXPECT_EQ(o.status, 2);
    EXPECT_TRUE(Has(o.err, row.says)) << o.err;
    EXPECT_EQ(o.err.find('\n'), o.err.size() - 1);
    EXPECT_EQ(o.out, "");
  }
}

TEST(Hxplan, HelpAndVersion) {
  const Outcome help = RunWith({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(Has(help.out, "Usage: hxplan"));
  EXPECT_TRUE(Has(help.out, "MW3018K"));
  const Outcome version = RunWith({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(Has(version.out, "hxplan 1.5"));
}

}  // namespace
}  // namespace halvex::plan
