#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "common/number_text.h"
#include "hxp/calculator_state.h"
#include "calculator_fixture.h"

namespace halvex::hxp {
namespace {

constexpr ui::Color kRed{255, 0, 0};

TEST_F(CalculatorTest, TypingAnEarLevelAtTheCeilingCorrectsItOnce) {
  StartShown();
  const int beeps = t::Beeps();
  Retype(kEarLevel, "1");
  EXPECT_EQ(room.earLevel, 1);
  EXPECT_EQ(Text(kPowerRequired), " 2.8");  // results for ear level 1
  EXPECT_EQ(Text(kTap), " 2");
  EXPECT_EQ(t::Beeps(), beeps);
  t::Type(window_, kEarLevel, "0");  // "10" with the ceiling at 9
  EXPECT_EQ(t::Beeps(), beeps + 1);
  EXPECT_EQ(Text(kEarLevel), " 8");
  EXPECT_EQ(room.earLevel, 8);
  EXPECT_EQ(Text(kFirstX), " 2.5");  // results for ear level 8
  EXPECT_EQ(Text(kSpacingX), " 5");
  EXPECT_EQ(Text(kTotalCount), " 12");
  EXPECT_EQ(Text(kPowerRequired), " 0");
}

TEST_F(CalculatorTest, AnEarLevelEqualToTheCeilingIsCorrectedToo) {
  StartShown();
  const int beeps = t::Beeps();
  Retype(kEarLevel, "9");
  EXPECT_EQ(t::Beeps(), beeps + 1);
  EXPECT_EQ(Text(kEarLevel), " 8");
}

TEST_F(CalculatorTest, EarLevelEditUnderAnEmptiedCeilingEndsAtOnce) {
  StartShown();
  Retype(kCeilingHeight, "");  // stores 0 and calculates nothing
  EXPECT_EQ(room.ceilingHeight, 0);
  const std::string power = Text(kPowerRequired);
  const int beeps = t::Beeps();
  Retype(kEarLevel, "3");
  // Corrected once to -1; its text reads back as 1, still not below the
  // ceiling, and stays so without another correction.
  EXPECT_EQ(t::Beeps(), beeps + 1);
  EXPECT_EQ(Text(kEarLevel), "-1");
  EXPECT_EQ(room.earLevel, 1);
  EXPECT_EQ(Text(kPowerRequired), power);

  Retype(kCeilingHeight, ".5");
  Retype(kEarLevel, "2");
  EXPECT_EQ(t::Beeps(), beeps + 2);
  EXPECT_EQ(Text(kEarLevel), "-.5");
}

TEST_F(CalculatorTest, ASignIsDroppedButTheTextStays) {
  StartShown();
  Retype(kRoomLength, "60");
  const std::string positive = Text(kFirstX);
  Retype(kRoomLength, "-60");
  EXPECT_EQ(Text(kRoomLength), "-60");
  EXPECT_EQ(room.roomLength, 60);
  EXPECT_EQ(Text(kFirstX), positive);
}

TEST_F(CalculatorTest, ClearingTheSplRecalculatesWithZero) {
  StartShown();
  Retype(kTargetSpl, "");
  EXPECT_EQ(room.targetSpl, 0);
  EXPECT_EQ(Text(kPowerRequired), " 0");
  EXPECT_EQ(Text(kTap), " 0");
}

TEST_F(CalculatorTest, ACeilingBelowTheEarLevelChangesNoResult) {
  StartShown();
  const std::string before[] = {Text(kFirstX), Text(kPowerRequired), Text(kTap), Text(kNominalSpacing)};
  Retype(kCeilingHeight, "4");
  EXPECT_EQ(room.ceilingHeight, 4);
  Retype(kRoomLength, "60");  // recalculates with the stored ceiling: nothing to derive
  const std::string after[] = {Text(kFirstX), Text(kPowerRequired), Text(kTap), Text(kNominalSpacing)};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(after[i], before[i]) << i;
  Retype(kCeilingHeight, "12");  // passes "1" and recalculates at "12"
  EXPECT_EQ(Text(kFirstX), " 15");
  EXPECT_EQ(Text(kSpacingX), " 30");
}

TEST_F(CalculatorTest, RoomDimensionsRefreshOnlyTheDiagram) {
  StartShown();
  Retype(kTargetSpl, "105");
  ASSERT_TRUE(Shown(kPowerWarning));
  // Room length and width leave the model results and the warning alone.
  Retype(kRoomWidth, "40");
  EXPECT_EQ(Text(kFirstY), " 10");
  EXPECT_EQ(Text(kSpacingY), " 20");
  EXPECT_TRUE(Shown(kPowerWarning));
  EXPECT_EQ(Text(kPowerRequired), " 22.3");
}

TEST_F(CalculatorTest, SplLeavesTheDiagramAlone) {
  StartShown();
  layout.spacingX = 99;  // a diagram refresh would show this
  Retype(kTargetSpl, "95");
  EXPECT_EQ(Text(kFirstX), " 10");
}

TEST_F(CalculatorTest, ChoosingAModelShowsItsFigures) {
  StartShown();
  t::Choose(window_, kModelList, 4);
  EXPECT_EQ(ui::SelectedEntryText(window_, kModelList), "MW3018K  ");
  EXPECT_EQ(room.modelIndex, 4);
  EXPECT_EQ(Text(kSensitivity), " 92");
  EXPECT_EQ(Text(kMaxPower), " 75");
  EXPECT_EQ(Text(kPowerRequired), " 1.1");
  EXPECT_EQ(Text(kTap), " 1");
}

// Keys in a list: typed text never picks an entry, and the edit part shows
// the entry that the calculation uses, from its first letter. The rows run in
// turn on one window.
TEST_F(CalculatorTest, ListsShowOnlyTheEntryInUse) {
  StartShown();
  const struct {
    const char* name;
    int list;
    void (*keys)(ui::Window* window, int list);
    const char* selected;
  } rows[] = {
      {"letters and Tab", kModelList, [](ui::Window* w, int l) { t::Type(w, l, "m"); t::Press(w, l, t::Key::Tab); },
       "NV40     "},
      {"letters and Enter", kModelList, [](ui::Window* w, int l) { t::Type(w, l, "MW"); t::Press(w, l, t::Key::Enter); },
       "NV40     "},
      {"a listed value and Enter", kDeviationList,
       [](ui::Window* w, int l) { t::Type(w, l, " 0"); t::Press(w, l, t::Key::Enter); }, " 3"},
      {"text matching nothing", kDeviationList,
       [](ui::Window* w, int l) { t::Type(w, l, "9x"); t::Press(w, l, t::Key::Tab); }, " 3"},
      {"open, search, Escape", kModelList,
       [](ui::Window* w, int l) {
         t::Press(w, l, t::Key::F4);
         EXPECT_TRUE(t::IsListOpen(w, l));
         t::Type(w, l, "m");
         t::Press(w, l, t::Key::Escape);
       },
       "NV40     "},
      {"open, move down, Enter", kModelList,
       [](ui::Window* w, int l) {
         t::Press(w, l, t::Key::F4);
         EXPECT_TRUE(t::IsListOpen(w, l));
         for (int i = 0; i < 4; ++i) t::Press(w, l, t::Key::Down);
         t::Press(w, l, t::Key::Enter);
       },
       "MW3018K  "},
      {"arrow down", kDeviationList, [](ui::Window* w, int l) { t::Press(w, l, t::Key::Down); }, " 4"},
      {"tabbed into", kModelList,
       [](ui::Window* w, int) {
         t::Focus(w, kCeilingHeight);
         t::Press(w, kCeilingHeight, t::Key::Tab);
         t::Press(w, kDeviationList, t::Key::Tab);
       },
       "MW3018K  "},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    t::Focus(window_, row.list);
    row.keys(window_, row.list);
    t::ProcessEvents();
    EXPECT_FALSE(t::IsListOpen(window_, row.list));
    EXPECT_EQ(ui::SelectedEntryText(window_, row.list), row.selected);
    for (int list : {kModelList, kDeviationList}) {
      SCOPED_TRACE(list);
      EXPECT_EQ(t::ShownText(window_, list), ui::SelectedEntryText(window_, list));
      EXPECT_TRUE(t::ShowsFromFirstLetter(window_, list));
    }
    EXPECT_EQ(t::ListEntry(window_, kModelList, static_cast<int>(room.modelIndex)),
              ui::SelectedEntryText(window_, kModelList));
    EXPECT_EQ(FormatNumber(room.splDeviation, 7, true), ui::SelectedEntryText(window_, kDeviationList));
  }
}

TEST_F(CalculatorTest, ChoosingADeviationRecalculatesTheGrid) {
  StartShown();
  t::Choose(window_, kDeviationList, 0);
  EXPECT_EQ(room.splDeviation, 0);
  EXPECT_EQ(Text(kFirstX), " 5");
  EXPECT_EQ(Text(kSpacingX), " 10");
  EXPECT_EQ(Text(kFirstY), " 3.75");
  EXPECT_EQ(Text(kTotalCount), " 4");
  // Any notification of the list recalculates, its focus too.
  layout.spacingX = 99;
  t::Focus(window_, kDeviationList);
  EXPECT_EQ(Text(kSpacingX), " 10");
}

TEST_F(CalculatorTest, OverPowerMarkingFollowsTheFlags) {
  StartShown();
  Retype(kTargetSpl, "105");
  EXPECT_EQ(Text(kPowerRequired), " 22.3");
  ASSERT_TRUE(t::Background(window_, kPowerRequired).has_value());
  EXPECT_EQ(*t::Background(window_, kPowerRequired), kRed);
  EXPECT_EQ(t::TextColor(window_, kPowerRequired), (ui::Color{0, 0, 0}));
  EXPECT_EQ(Text(kTap), " 16");
  EXPECT_FALSE(t::Background(window_, kTap).has_value());
  EXPECT_TRUE(Shown(kPowerWarning));
  EXPECT_TRUE(t::IsOnScreen(window_, kPowerWarning));
  EXPECT_EQ(*t::Background(window_, kPowerWarning), kRed);

  Retype(kTargetSpl, "90");
  EXPECT_FALSE(t::Background(window_, kPowerRequired).has_value());
  EXPECT_FALSE(Shown(kPowerWarning));
}

// From the start-up values on, and for a height that only a float makes
// infinite, the power beyond the model is marked.
TEST_F(CalculatorTest, OverPowerIsMarkedFromStartUpAndForInfiniteHeights) {
  const struct {
    const char* name;
    const char* arguments;
    int field;  // 0: nothing typed
    const char* typed;
    const char* power;
    const char* tap;
  } rows[] = {
      {"SPL 105 at start-up", "9,5,20,15,105", 0, "", " 22.3", " 16"},
      {"ceiling 1e39 at start-up", "1e39,5,20,15,90", 0, "", " 9.999999E+998", " 0"},
      {"ear level -1e40 at start-up", "9,-1e40,20,15,90", 0, "", " 9.999999E+998", " 0"},
      {"ceiling 9e4931 typed", "", kCeilingHeight, "9e4931", " 9.999999E+998", " 0"},
      {"ceiling -1e40 typed", "", kCeilingHeight, "-1e40", " 9.999999E+998", " 0"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StartShown(row.arguments);
    if (row.field != 0) Retype(row.field, row.typed);
    EXPECT_EQ(Text(kPowerRequired), row.power);
    EXPECT_EQ(Text(kTap), row.tap);
    EXPECT_EQ(t::Background(window_, kPowerRequired), std::optional<ui::Color>(kRed));
    EXPECT_TRUE(t::IsOnScreen(window_, kPowerWarning));
    FinishCalculator();
  }
}

TEST_F(CalculatorTest, TapAboveTheModelsHighestIsMarkedAlone) {
  StartShown("12,5,20,15,102");
  t::Choose(window_, kModelList, 4);
  EXPECT_EQ(Text(kPowerRequired), " 54.9");
  EXPECT_EQ(Text(kTap), " 64");
  EXPECT_FALSE(t::Background(window_, kPowerRequired).has_value());
  EXPECT_TRUE(t::Background(window_, kTap).has_value());
  EXPECT_TRUE(Shown(kPowerWarning));
}

TEST_F(CalculatorTest, FocusSwitchesPictureAndNote) {
  StartShown();
  const struct {
    int field;
    int picture;
    const char* shownNote;
  } rows[] = {
      {kRoomLength, kPictureLength, "Enter Room Length."},
      {kRoomWidth, kPictureWidth, "Enter Room Width."},
      {kEarLevel, kPictureEarLevel, "Enter Ear Level.\nNormally 5 feet standing and 3 feet sitting."},
      {kTargetSpl, kPictureSpl, "Enter SPL (Sound Pressure Level) to be achieved at Ear Level."},
      {kCeilingHeight, kPictureCeiling, "Enter the Ceiling Height (loudspeaker height)."},
      {kDeviationList, kPicturePlain,
       "Enter SPL (Sound Pressure Level) Deviation\nThe deviation ie. 3 dB will have a total swing of 6 dB.\n"
       "For example: 90 DB +-3 dB will have a variation from 87 dB to 93 dB"},
      {kModelList, kPicturePlain,
       "Select the Loudspeaker Model to be used\n-Sensitivity is the SPL of the loudspeaker at 3 ft. with 1 watt "
       "input. -Max Power indicates the Maximum Power Handling of the unit -Power Req. indicates the Amount of "
       "power required to achieve the SPL indicated\n-Tap @ indicates the tap that should be used in a 70V Device"},
  };
  // Tab from field to field, as the user does; from the last one Tab comes
  // round to the first.
  t::Focus(window_, kModelList);
  t::Press(window_, kModelList, t::Key::Tab);
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(rows[i].field);
    EXPECT_EQ(ui::FocusedControl(window_), rows[i].field);
    EXPECT_EQ(VisiblePicture(), rows[i].picture);
    EXPECT_EQ(t::ShownText(window_, kHelpNotes), rows[i].shownNote);
    t::Press(window_, rows[i].field, t::Key::Tab);
  }
  EXPECT_TRUE(t::IsWordWrapped(window_, kHelpNotes));
}

TEST_F(CalculatorTest, ClickingTheDiagramKeepsThePicture) {
  StartShown();
  t::Focus(window_, kEarLevel);
  t::Click(window_, kDiagramClickArea);
  EXPECT_EQ(VisiblePicture(), kPictureEarLevel);
  EXPECT_EQ(Text(kHelpNotes),
            "Graph indicates the position of the first Loudspeaker referenced to the wall, in the Length (X) and in "
            "the width (Y).\rAlso shows the position of the subsequent loudspeakers in the Length and Width ( X and "
            "Y)\rCalculated CC is the actual Center to Center of the Loudspeakers ");
}

TEST_F(CalculatorTest, TypingDoesNotChangeTheNote) {
  StartShown();
  t::Focus(window_, kRoomWidth);
  Retype(kRoomWidth, "30");
  EXPECT_EQ(Text(kHelpNotes), "Enter Room Width.");
  EXPECT_EQ(VisiblePicture(), kPictureWidth);
}

TEST_F(CalculatorTest, ClosingWritesTheFieldsAsTheyStand) {
  Start();
  t::RunSoon([this] {
    Retype(kRoomWidth, "18");
    Retype(kRoomLength, "-20");
    t::RequestClose(window_);
  });
  EXPECT_EQ(ui::RunModal(window_), 0);
  EXPECT_EQ(test_support::ReadBytes("hx.tmp"), "\"9\"\r\n\"5\"\r\n\"-20\"\r\n\"18\"\r\n\"90\"\r\n");
}

TEST_F(CalculatorTest, ClosingUntouchedWritesThe28ByteDefaults) {
  Start();
  t::RunSoon([this] { t::RequestClose(window_); });
  ui::RunModal(window_);
  const std::string bytes = test_support::ReadBytes("hx.tmp");
  EXPECT_EQ(bytes.size(), 28u);
  EXPECT_EQ(bytes, "\"9\"\r\n\"5\"\r\n\"20\"\r\n\"15\"\r\n\"90\"\r\n");
}

TEST_F(CalculatorTest, AFileThatCannotBeWrittenIsToldAndTheWindowStillCloses) {
  ASSERT_TRUE(std::filesystem::create_directory("hx.tmp"));  // a directory where the file belongs
  t::AnswerMessageBoxes();
  t::RunSoon([] { t::RequestClose(calculatorWindow); });
  EXPECT_EQ(RunCalculator(""), 1);
  const std::vector<t::MessageBoxText> boxes = t::TakeAnsweredMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "HXP");
#ifdef _WIN32
  EXPECT_NE(boxes[0].text.find("hx.tmp"), std::string::npos) << boxes[0].text;
#else
  EXPECT_NE(boxes[0].text.find((directory_.Path() / "hx.tmp").string()), std::string::npos) << boxes[0].text;
  EXPECT_NE(boxes[0].text.find("Is a directory"), std::string::npos) << boxes[0].text;
#endif
  struct stat info {};
  ASSERT_EQ(::stat("hx.tmp", &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));

  t::RunSoon([] { t::RequestClose(calculatorWindow); });
  ASSERT_TRUE(std::filesystem::remove("hx.tmp"));
  EXPECT_EQ(RunCalculator(""), 0);
  EXPECT_TRUE(t::TakeAnsweredMessageBoxes().empty());
}

TEST_F(CalculatorTest, EscapeAndEnterDoNotCloseTheWindow) {
  Start();
  bool stillOpen = false;
  t::RunSoon([&] {
    t::Focus(window_, kTargetSpl);
    t::Press(window_, kTargetSpl, t::Key::Escape);
    t::Press(window_, kTargetSpl, t::Key::Enter);
    stillOpen = t::ActiveModalWindow() == window_;
    t::RequestClose(window_);
  });
  ui::RunModal(window_);
  EXPECT_TRUE(stillOpen);
}

}  // namespace
}  // namespace halvex::hxp
