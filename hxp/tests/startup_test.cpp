#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/number_text.h"

#include "hxp/calculator_state.h"
#include "calculator_fixture.h"

namespace halvex::hxp {
namespace {

TEST_F(CalculatorTest, StartedWithoutArgumentsShowsTheDefaultRoom) {
  Start();
  EXPECT_EQ(t::WindowTitle(window_), "Planar Speaker Layout");
  EXPECT_EQ(Text(kRoomLength), "20");
  EXPECT_EQ(Text(kRoomWidth), "15");
  EXPECT_EQ(Text(kEarLevel), "5");
  EXPECT_EQ(Text(kCeilingHeight), "9");
  EXPECT_EQ(Text(kTargetSpl), "90");
  EXPECT_EQ(ui::SelectedEntryText(window_, kDeviationList), " 3");
  EXPECT_EQ(ui::SelectedEntryText(window_, kModelList), "NV40     ");
  EXPECT_EQ(VisiblePicture(), kPicturePlain);
  EXPECT_EQ(Text(kPowerRequired), " .7");
  EXPECT_EQ(Text(kTap), " .5");
  EXPECT_EQ(Text(kSensitivity), " 94");
  EXPECT_EQ(Text(kMaxPower), " 16");
  EXPECT_FALSE(Shown(kPowerWarning));
  EXPECT_EQ(Text(kHelpNotes), "Help Notes");
  // The diagram of one loudspeaker in the middle.
  EXPECT_EQ(Text(kFirstX), " 10");
  EXPECT_EQ(Text(kFirstY), " 7.5");
  EXPECT_EQ(Text(kTotalCount), " 1");
  EXPECT_EQ(Text(kNominalSpacing), " 21");
  for (int id : {kSpacingX, kSpacingY, kMarkAlongX, kMarkAlongY, kMarkDiagonal}) EXPECT_FALSE(Shown(id)) << id;
  EXPECT_TRUE(Shown(kMarkFirst));
}

TEST_F(CalculatorTest, ListsHoldTheCatalogueAndTheDeviations) {
  Start();
  const std::vector<std::string> models = {"NV40     ", "NV50     ", "JR2A     ", "JR2B     ",
                                           "MW3018K  ", "MW3009P  ", "LX7R     "};
  ASSERT_EQ(t::ListCount(window_, kModelList), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(t::ListEntry(window_, kModelList, i), models[i]);
  ASSERT_EQ(t::ListCount(window_, kDeviationList), 7);
  for (int d = 0; d <= 6; ++d) EXPECT_EQ(t::ListEntry(window_, kDeviationList, d), " " + std::to_string(d));
}

TEST_F(CalculatorTest, CommandLineValuesGoToTheirFields) {
  const struct {
    const char* arguments;
    const char *ceiling, *ear, *length, *width, *spl;
  } rows[] = {
      {"12,4,30,25,95", "12", "4", "30", "25", "95"},
      {"9,5,-20,15,90", "9", "5", "-20", "15", "90"},
      {",,,,", "", "", "", "", ""},
      {"9,5", "9", "5", "20", "15", "90"},
      {"12", "12", "5", "20", "15", "90"},
      {"9,5,20,15,90,77,88", "9", "5", "20", "15", "90"},
      {"\"1,2\", 3 ,x", "1,2", "3", "x", "15", "90"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    Start(row.arguments);
    EXPECT_EQ(Text(kCeilingHeight), row.ceiling);
    EXPECT_EQ(Text(kEarLevel), row.ear);
    EXPECT_EQ(Text(kRoomLength), row.length);
    EXPECT_EQ(Text(kRoomWidth), row.width);
    EXPECT_EQ(Text(kTargetSpl), row.spl);
    FinishCalculator();
  }
}

TEST_F(CalculatorTest, FirstResultsUseTheCommandLineValues) {
  Start("12,4,30,25,95");
  EXPECT_EQ(Text(kFirstX), " 15");
  EXPECT_EQ(Text(kFirstY), " 12.5");
  EXPECT_EQ(Text(kNominalSpacing), " 43");
  EXPECT_EQ(Text(kPowerRequired), " 9.1");
  EXPECT_EQ(Text(kTap), " 8");
}

TEST_F(CalculatorTest, StartUpTakesNegativeValuesAsTheyStand) {
  Start("9,5,-20,15,90");
  EXPECT_EQ(room.roomLength, -20);
  EXPECT_EQ(Text(kFirstX), "-10");
}

// No placeholder may stay on screen as if it were a result.
void ExpectNoPlaceholders(ui::Window* window) {
  const struct {
    int id;
    const char* placeholder;
  } placeholders[] = {{kSpacingX, "ccx"},  {kSpacingY, "ccy"},    {kFirstX, "ccy"},
                      {kFirstY, "ccy"},    {kTotalCount, "SpeakerCount"}, {kNominalSpacing, "cc"},
                      {kPowerRequired, "Power"}, {kMaxPower, "Power"}, {kTap, "Tap"},
                      {kSensitivity, "Sens"}};
  for (const auto& p : placeholders) {
    SCOPED_TRACE(p.id);
    EXPECT_FALSE(ui::IsShown(window, p.id) && ui::GetText(window, p.id) == p.placeholder);
  }
}

TEST_F(CalculatorTest, NoResultsWhileTheCeilingIsNotAboveTheEarLevel) {
  for (const char* arguments : {"5,5,20,15,90", ",,,,", "4,5,20,15,90"}) {
    SCOPED_TRACE(arguments);
    Start(arguments);
    ExpectNoPlaceholders(window_);
    EXPECT_EQ(Text(kPowerRequired), "");
    EXPECT_EQ(Text(kTap), "");
    EXPECT_EQ(Text(kTotalCount), "");
    EXPECT_EQ(Text(kFirstX), "");
    EXPECT_EQ(Text(kSensitivity), " 94");  // the model's own figures are known
    EXPECT_FALSE(Shown(kPowerWarning));
    FinishCalculator();
  }
  Start();
  ExpectNoPlaceholders(window_);
}

// The pixels below are those of 96 dpi, where the room pictures show 1:1.
TEST_F(CalculatorTest, ControlsSitAtTheirDialogUnits) {
  Start();
  EXPECT_EQ(t::ClientSize(window_), t::DialogRect(window_, {0, 0, 400, 331}));
  if (ui::ScreenDpi() != 96) GTEST_SKIP() << "pixel places are known for 96 dpi; the screen has " << ui::ScreenDpi();
#ifdef _WIN32
  // The dialog manager rounds the height on its own: 15 units are 24.4 pixels.
  EXPECT_EQ(t::Geometry(window_, kRoomLength), (ui::Rect{177, 216, 41, 24}));
#else
  EXPECT_EQ(t::Geometry(window_, kRoomLength), (ui::Rect{177, 216, 41, 25}));
#endif
  EXPECT_EQ(t::Geometry(window_, kPicturePlain), (ui::Rect{24, 16, 465, 234}));
  EXPECT_EQ(t::Geometry(window_, kHelpNotes), (ui::Rect{321, 426, 257, 104}));
}

// Every diagram line shows its shadow: across the line, some pixel is
// clearly darker than the window's background.
TEST_F(CalculatorTest, DiagramLinesShowAShadow) {
  StartShown();
  const ui::Rect client = t::ClientSize(window_);
  const ui::Color background = t::ScreenPixel(window_, 2, client.h - 2);
  auto darker = [&](const ui::Color& c) {
    return c.red + 0x20 < background.red && c.green + 0x20 < background.green && c.blue + 0x20 < background.blue;
  };
  for (const ui::ControlRow& row : CalculatorWindowTable().controls) {
    if (row.kind != ui::ControlKind::Line) continue;
    SCOPED_TRACE(row.id);
    const ui::Rect line = t::Geometry(window_, row.id);
    const bool across = line.w < line.h;  // a vertical line is crossed from left to right
    bool shadow = false;
    for (int step = 0; step < (across ? line.w : line.h); ++step) {
      shadow = shadow || darker(across ? t::ScreenPixel(window_, line.x + step, line.y + line.h / 2)
                                       : t::ScreenPixel(window_, line.x + line.w / 2, line.y + step));
    }
    EXPECT_TRUE(shadow);
  }
}

// A help note longer than its label shows whole lines only: the label's
// bottom rows, below the last line that fits, stay blank.
TEST_F(CalculatorTest, HelpNotesShowNoLineCutThrough) {
  StartShown();
  for (int focus : {kModelList, kDeviationList, kEarLevel}) {
    SCOPED_TRACE(focus);
    t::Focus(window_, focus);
    t::ProcessEvents();
    const ui::Rect note = t::Geometry(window_, kHelpNotes);
    const ui::Color blank = t::ScreenPixel(window_, note.x + note.w - 1, note.y);
    int inked = 0;
    for (int y = note.y + note.h - 2; y < note.y + note.h; ++y) {
      for (int x = note.x; x < note.x + note.w; ++x) inked += !(t::ScreenPixel(window_, x, y) == blank);
    }
    EXPECT_EQ(inked, 0);
  }
}

// Every help note shows to its last line, the model note's eight included.
TEST_F(CalculatorTest, EveryHelpNoteShowsWhole) {
  StartShown();
  for (int focus : {kRoomLength, kRoomWidth, kEarLevel, kTargetSpl, kCeilingHeight, kDeviationList, kModelList}) {
    SCOPED_TRACE(focus);
    t::Focus(window_, focus);
    t::ProcessEvents();
    EXPECT_TRUE(t::ShowsWholeText(window_, kHelpNotes));
  }
}

TEST_F(CalculatorTest, TabOrderFollowsTheInputs) {
  Start();
  EXPECT_EQ(t::TabOrder(window_), (std::vector<int>{kRoomLength, kRoomWidth, kEarLevel, kTargetSpl, kCeilingHeight,
                                                    kDeviationList, kModelList}));
}

TEST_F(CalculatorTest, InputFieldsLieInFrontOfThePictures) {
  StartShown();
  for (int id : {kRoomLength, kRoomWidth, kEarLevel, kTargetSpl, kCeilingHeight}) {
    const ui::Rect r = t::Geometry(window_, id);
    EXPECT_EQ(t::ControlAt(window_, r.x + r.w / 2, r.y + r.h / 2), id);
  }
}

TEST_F(CalculatorTest, BoldFontsOnTheDiagram) {
  Start();
  const int dpi = ui::ScreenDpi();
  const struct {
    int id, points;
  } rows[] = {{kSpacingX, 8}, {kFirstY, 8}, {kMarkFirst, 14}, {kMarkDiagonal, 14}, {kTotalCount, 12}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(t::FontPixelSize(window_, row.id), ui::FontPixelHeight(row.points, dpi));
    EXPECT_TRUE(t::FontBold(window_, row.id));
  }
  EXPECT_FALSE(t::FontBold(window_, kNominalSpacing));
  if (dpi != 96) GTEST_SKIP() << "the mark's pixel size is known for 96 dpi; the screen has " << dpi;
  EXPECT_EQ(t::FontPixelSize(window_, kMarkFirst), 18);
}

TEST_F(CalculatorTest, PicturesAreLoadedAtTheirOwnSize) {
  Start();
  for (const PictureControl& picture : kRoomPictures) {
    SCOPED_TRACE(picture.id);
    EXPECT_TRUE(t::HasPicture(window_, picture.id));
    EXPECT_EQ(t::PictureSize(window_, picture.id), (ui::Rect{0, 0, 465, 234}));
  }
  EXPECT_FALSE(t::HasPicture(window_, kDiagramClickArea));
  EXPECT_EQ(ResourceName(kBitmapLength), "#115");
}

// The picture file a room picture was made from, read without the window
// layer (the build says where).
std::string DrawingFile(int resource) {
  return std::string(HALVEX_ART_REFERENCE_DIR "/") + FormatNumber(resource, 7, false) + HALVEX_ART_REFERENCE_EXT;
}

// The field in focus shows its room picture, in the colours of its drawing:
// the screen against the picture file, where no field lies on it.
TEST_F(CalculatorTest, TheFieldInFocusShowsItsRoomPictureInFullColour) {
  StartShown();
  const struct {
    int field, picture, resource;
  } rows[] = {
      {kRoomWidth, kPictureWidth, kBitmapWidth},       {kEarLevel, kPictureEarLevel, kBitmapEarLevel},
      {kTargetSpl, kPictureSpl, kBitmapSpl},           {kCeilingHeight, kPictureCeiling, kBitmapCeiling},
      {kDeviationList, kPicturePlain, kBitmapPlain},   {kRoomLength, kPictureLength, kBitmapLength},
  };
  std::vector<ui::Rect> fields;
  for (int id : {kRoomLength, kRoomWidth, kEarLevel, kTargetSpl, kCeilingHeight}) fields.push_back(t::Geometry(window_, id));
  for (const auto& row : rows) {
    SCOPED_TRACE(row.picture);
    t::Focus(window_, row.field);
    t::ProcessEvents();
    ASSERT_EQ(VisiblePicture(), row.picture);
    const t::Picture drawing = t::ReadPictureFile(DrawingFile(row.resource));
    ASSERT_GT(drawing.width, 0) << DrawingFile(row.resource);
    const ui::Rect area = t::Geometry(window_, row.picture);
    const t::PictureDifference difference = t::CompareWithPicture(window_, area, drawing, fields);
    EXPECT_GT(difference.compared, area.w * area.h * 9 / 10);
    EXPECT_LE(difference.mean, 2.0);
    EXPECT_LE(difference.largest, 16);
  }
}

// A value never breaks onto a hidden second line: its ink lies in the first
// line, and one wider than its field shows from its start.
TEST_F(CalculatorTest, ValuesShowOnOneLineFromTheirStart) {
  const struct {
    const char* arguments;
    int id;
    const char* value;
  } rows[] = {
      {"25,5,401,300,90", kSpacingX, " 100.2"},
      {"40,5,400,300,150", kPowerRequired, " 5.370322E+7"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.value);
    StartShown(row.arguments);
    ASSERT_EQ(Text(row.id), row.value);
    const ui::Rect field = t::Geometry(window_, row.id);
    const t::Picture shown = t::ScreenArea(window_, field);
    const ui::Color background = shown.At(field.w - 1, field.h - 1);
    int left = field.w, top = field.h, bottom = -1;
    for (int y = 0; y < field.h; ++y) {
      for (int x = 0; x < field.w; ++x) {
        const ui::Color c = shown.At(x, y);
        if (std::abs(c.red - background.red) + std::abs(c.green - background.green) + std::abs(c.blue - background.blue) < 192) {
          continue;
        }
        left = std::min(left, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    ASSERT_GE(bottom, 0) << "nothing shows";
    EXPECT_LT(top, field.h / 3);
    const int em = ui::FontPixelHeight(8, ui::ScreenDpi());  // both values are 8 points
    EXPECT_GE(bottom - top + 1, em / 2);
    if (row.id == kPowerRequired) {
      // Wider than the field: its leading blank at the left edge, not a
      // centred middle cut at both.
      EXPECT_GT(left, 0);
      EXPECT_LE(left, em / 2 + 1);
    }
    FinishCalculator();
  }
}

struct DiagramCase {
  const char* name;
  float countX, countY, spacingX, spacingY, total;
  const char *firstX, *firstY, *count;
  bool spacingXShown, spacingYShown, alongX, alongY, diagonal;
};

TEST_F(CalculatorTest, DiagramShowsTheGrid) {
  Start();
  const DiagramCase cases[] = {
      {"one each way", 1, 1, 15, 20, 1, " 7.5", " 10", " 1", false, false, false, false, false},
      {"three by one", 3, 1, 6.6f, 15, 3, " 3.3", " 7.5", " 3", true, false, true, false, false},
      {"both above one", 4, 3, 15, 13.3f, 12, " 7.5", " 6.65", " 12", true, true, true, true, true},
      {"back to one along Y", 4, 1, 15, 40, 4, " 7.5", " 20", " 4", true, false, true, false, false},
      {"empty room", 1, 1, 0, 0, 1, " 0", " 0", "", false, false, false, false, false},
      {"odd half", 2, 2, 7.3f, 7.3f, 4, " 3.65", " 3.65", " 4", true, true, true, true, true},
  };
  for (const DiagramCase& c : cases) {
    SCOPED_TRACE(c.name);
    layout.countX = c.countX;
    layout.countY = c.countY;
    layout.spacingX = c.spacingX;
    layout.spacingY = c.spacingY;
    layout.totalCount = c.total;
    ShowDiagram();
    EXPECT_EQ(Text(kFirstX), c.firstX);
    EXPECT_EQ(Text(kFirstY), c.firstY);
    EXPECT_EQ(Text(kTotalCount), c.count);
    EXPECT_EQ(Shown(kSpacingX), c.spacingXShown);
    EXPECT_EQ(Shown(kSpacingY), c.spacingYShown);
    EXPECT_EQ(Shown(kMarkAlongX), c.alongX);
    EXPECT_EQ(Shown(kMarkAlongY), c.alongY);
    EXPECT_EQ(Shown(kMarkDiagonal), c.diagonal);
    EXPECT_TRUE(Shown(kMarkFirst));
  }
  EXPECT_EQ(Text(kSpacingX), " 7.3");
}

}  // namespace
}  // namespace halvex::hxp
