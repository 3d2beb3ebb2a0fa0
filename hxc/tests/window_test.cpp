// HXC's window on real controls: its layout, a keystroke and what it
// updates, the red tap and the warning, the blanked results, the help that
// follows the focus, the keyboard, and the close that writes hx.tmp.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "handoff/handoff.h"
#include "hxc/cone_calculator.h"
#include "hxc/cone_window.h"
#include "hxc/plan.h"
#include "tests/support/temp_directory.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::hxc {
namespace {

namespace t = ui::testing;
using ui::Shape;

class ConeWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (coneWindow != nullptr) FinishConeCalculator();
  }

  void StartShown(std::string_view arguments = "") {
    StartConeCalculator(arguments);
    window_ = coneWindow;
    ui::ShowWindow(window_);
    t::ProcessEvents();
  }

  std::string Text(int id) { return ui::GetText(window_, id); }
  bool Shown(int id) { return ui::IsShown(window_, id); }

  void Retype(int id, std::string_view text) {
    t::Focus(window_, id);
    t::Press(window_, id, t::Key::SelectAll);
    t::Type(window_, id, text);
  }

  int VisiblePicture() {
    std::vector<int> shown;
    for (const room::PictureControl& picture : room::kRoomPictures) {
      if (Shown(picture.id)) shown.push_back(picture.id);
    }
    return shown.size() == 1 ? shown[0] : -static_cast<int>(shown.size());
  }

  long Count(Shape::Kind kind) {
    const std::vector<Shape> shapes = t::DrawingOf(window_, kPlan);
    return std::count_if(shapes.begin(), shapes.end(), [kind](const Shape& s) { return s.kind == kind; });
  }

  test_support::TempCurrentDirectory directory_;
  ui::Window* window_ = nullptr;
};

TEST_F(ConeWindowTest, EveryControlIsWhereItsRowSaysAndNothingOverlapsAndEveryCaptionFits) {
  StartShown();
  EXPECT_EQ(t::WindowTitle(window_), "Cone Speaker Layout");
  const ui::WindowTable& table = ConeWindowTable();
  EXPECT_EQ(t::ClientSize(window_), t::DialogRect(window_, {0, 0, table.width, table.height}));
  std::vector<std::pair<int, ui::Rect>> placed;
  for (const ui::ControlRow& row : table.controls) {
    SCOPED_TRACE(row.id);
    const ui::Rect expected = t::DialogRect(window_, {row.x, row.y, row.w, row.h});
    const ui::Rect shown = t::Geometry(window_, row.id);
    EXPECT_EQ(shown.x, expected.x);
    EXPECT_EQ(shown.y, expected.y);
    EXPECT_EQ(shown.w, expected.w);
    if (row.kind != ui::ControlKind::Combo) {
      EXPECT_EQ(shown.h, expected.h);
    }
    if (row.kind == ui::ControlKind::Label && !Text(row.id).empty()) {
      EXPECT_TRUE(t::ShowsWholeText(window_, row.id));
    }
    // Groups frame others and the room pictures lie under the fields on purpose.
    if (row.kind == ui::ControlKind::Group || row.kind == ui::ControlKind::Picture) continue;
    const ui::Rect own{row.x, row.y, row.w, row.kind == ui::ControlKind::Combo ? 12 : row.h};
    for (const auto& [id, other] : placed) {
      const bool apart = own.x >= other.x + other.w || other.x >= own.x + own.w || own.y >= other.y + other.h ||
                         other.y >= own.y + own.h;
      EXPECT_TRUE(apart) << row.id << " overlaps " << id;
    }
    placed.push_back({row.id, own});
  }
}

TEST_F(ConeWindowTest, StartsWithTheDefaultRoomAndItsPlan) {
  StartShown();
  EXPECT_EQ(VisiblePicture(), room::kPicturePlain);
  EXPECT_EQ(ui::SelectedEntryText(window_, kModelList), "C4");
  EXPECT_EQ(ui::SelectedEntryText(window_, kPatternList), "Minimum overlap");
  EXPECT_EQ(ui::SelectedEntryText(window_, kGridList), "Square");
  EXPECT_EQ(ui::SelectedEntryText(window_, kHeadroomList), " 0");
  EXPECT_EQ(t::ListCount(window_, kModelList), cone::kConeModelCount);
  EXPECT_EQ(Text(kCoverageAngle), "110 degrees (4\" cone)");
  EXPECT_EQ(Text(kTaps), ".5 1 2 4 8 16 W at 70 V");
  // The default room as hxplan --cone plans it.
  EXPECT_EQ(Text(kCount), "3 x 2 rows = 6");
  EXPECT_EQ(Text(kSpacing), "6.7 x 7.5 ft");
  EXPECT_EQ(Text(kFirst), "3.3 x 3.8 ft");
  EXPECT_EQ(Text(kAmplifier), "30 W");
  EXPECT_EQ(Text(kLevel), "83.5 to 91.9 dB, spread 8.4 dB");
  EXPECT_FALSE(Shown(kWarning));
  // A coverage circle and a dot for each of the six.
  EXPECT_EQ(Count(Shape::Kind::Ellipse), 12);
}

TEST_F(ConeWindowTest, EveryKeystrokeRecalculatesAndNeverShowsNanOrInfinity) {
  const struct {
    const char* name;
    int field;
    const char* typed;
    int result;
    std::string shown;  // in `result`
    bool warning;
    long circles;  // coverage circles and dots in the plan
  } rows[] = {
      {"a wider room takes more rows", kRoomWidth, "25", kCount, "3 x 4 rows = 12", false, 24},
      {"a louder target needs the highest tap and more", kTargetSpl, "110", kTap, "16 W", true, 12},
      {"the ceiling at the ear level blanks the results", kCeilingHeight, "5", kCount, "", true, 0},
      {"the warning says why", kCeilingHeight, "4", kWarning, "The ceiling must be above the ear level.", true, 0},
      {"a length too large says which value", kRoomLength, "1e39", kWarning, "The room length is too large.", true, 0},
      {"an SPL too large for any power", kTargetSpl, "1e38", kWarning, "The SPL is too large.", true, 0},
      {"the sign is dropped", kRoomWidth, "-25", kCount, "3 x 4 rows = 12", false, 24},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StartShown();
    Retype(row.field, row.typed);
    EXPECT_EQ(Text(row.result), row.shown);
    EXPECT_EQ(Shown(kWarning), row.warning);
    EXPECT_EQ(Count(Shape::Kind::Ellipse), row.circles);
    const bool tapMarked = t::Background(window_, kTap).has_value();
    EXPECT_EQ(tapMarked, row.warning && !Text(kTap).empty());
    if (tapMarked) {
      EXPECT_EQ(*t::Background(window_, kTap), (ui::Color{255, 0, 0}));
    }
    for (const ui::ControlRow& control : ConeWindowTable().controls) {
      std::string text = Text(control.id);
      std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      EXPECT_EQ(text.find("nan"), std::string::npos) << control.id << ": " << text;
      EXPECT_EQ(text.find("inf"), std::string::npos) << control.id << ": " << text;
    }
    // The ear level is never corrected.
    EXPECT_EQ(Text(kEarLevel), "5");
    FinishConeCalculator();
  }
}

TEST_F(ConeWindowTest, TheListsChangeTheLayoutAndTheModelShown) {
  StartShown();
  t::Choose(window_, kModelList, 6);  // C8P: 90 degrees, 95 dB
  EXPECT_EQ(Text(kSensitivity), "95 dB, 1 W at 1 m");
  EXPECT_EQ(Text(kRadius), "4 ft");
  t::Choose(window_, kPatternList, 2);  // centre to centre: the spacing is the radius
  EXPECT_EQ(Text(kNominalSpacing), "4 ft");
  t::Choose(window_, kGridList, 1);  // hexagonal: rows of 5 and 4 in turn
  EXPECT_EQ(Text(kCount), "5 x 5 rows = 23");
  const std::string power = Text(kPower);
  t::Choose(window_, kHeadroomList, 3);  // 10 dB: ten times the power
  EXPECT_NE(Text(kPower), power);
  EXPECT_EQ(ui::SelectedEntryText(window_, kHeadroomList), " 10");
}

TEST_F(ConeWindowTest, HelpAndPictureFollowTheFocusAndTheKeyboardReachesEveryInput) {
  StartShown();
  EXPECT_EQ(t::TabOrder(window_), (std::vector<int>{kCeilingHeight, kEarLevel, kRoomLength, kRoomWidth, kTargetSpl,
                                                    kModelList, kPatternList, kGridList, kHeadroomList}));
  const struct {
    int control;
    int picture;
    const char* noteStart;
  } rows[] = {
      {kCeilingHeight, room::kPictureCeiling, "Enter the ceiling height"},
      {kEarLevel, room::kPictureEarLevel, "Enter the ear level"},
      {kRoomLength, room::kPictureLength, "Enter the room length"},
      {kRoomWidth, room::kPictureWidth, "Enter the room width"},
      {kTargetSpl, room::kPictureSpl, "Enter the SPL"},
      {kModelList, room::kPicturePlain, "Select the loudspeaker model."},
      {kPatternList, room::kPicturePlain, "Select how far apart"},
      {kGridList, room::kPicturePlain, "Select the grid"},
      {kHeadroomList, room::kPicturePlain, "Select the headroom"},
  };
  // From the last, so that each focus is new: the ceiling field has it at start.
  for (auto row = std::rbegin(rows); row != std::rend(rows); ++row) {
    SCOPED_TRACE(row->control);
    t::Focus(window_, row->control);
    EXPECT_EQ(VisiblePicture(), row->picture);
    EXPECT_EQ(Text(kHelpNotes).rfind(row->noteStart, 0), 0u) << Text(kHelpNotes);
    EXPECT_TRUE(t::ShowsWholeText(window_, kHelpNotes));
  }
  // Alt with a caption's letter goes to its list.
  for (const auto& [letter, list] : {std::pair{'m', kModelList}, {'t', kPatternList}, {'g', kGridList}, {'r', kHeadroomList}}) {
    SCOPED_TRACE(letter);
    t::Focus(window_, kRoomLength);
    t::TypeWithAlt(window_, kRoomLength, letter);
    EXPECT_EQ(ui::FocusedControl(window_), list);
    EXPECT_EQ(Text(kRoomLength), "20");
  }
  // The arrow keys choose in a list; F4 opens it.
  t::Focus(window_, kGridList);
  t::Press(window_, kGridList, t::Key::Down);
  EXPECT_EQ(ui::SelectedEntryText(window_, kGridList), "Hexagonal");
  t::Press(window_, kGridList, t::Key::F4);
  EXPECT_TRUE(t::IsListOpen(window_, kGridList));
  t::Press(window_, kGridList, t::Key::Escape);
}

TEST_F(ConeWindowTest, ClosingWritesTheFieldsAndAFailedSaveIsToldWithStatusOne) {
  StartConeCalculator("12,4,30,25,95");
  window_ = coneWindow;
  t::RunSoon([this] {
    t::Press(window_, kTargetSpl, t::Key::Escape);  // Esc and Enter leave it open
    t::Press(window_, kTargetSpl, t::Key::Enter);
    Retype(kRoomWidth, "18");
    t::RequestClose(window_);
  });
  EXPECT_EQ(ui::RunModal(window_), 0);
  FinishConeCalculator();
  EXPECT_EQ(test_support::ReadBytes(handoff::kFileName), handoff::FileBytes({"12", "4", "30", "18", "95"}));

  std::filesystem::remove(handoff::kFileName);
  ASSERT_TRUE(std::filesystem::create_directory(handoff::kFileName));
  t::AnswerMessageBoxes();
  t::RunSoon([] { t::RequestClose(coneWindow); });
  EXPECT_EQ(RunConeCalculator("garbage"), 1);
  const std::vector<t::MessageBoxText> boxes = t::TakeAnsweredMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "HXC");
  EXPECT_EQ(boxes[0].text.rfind("The room values were not saved.", 0), 0u) << boxes[0].text;
}

TEST(PlanShapes, TheRoomToScaleWithEveryLoudspeakerInsideIt) {
  const struct {
    const char* name;
    float length, width;
    cone::Grid grid;
    std::size_t dots;
  } rows[] = {
      {"square", 20, 15, cone::Grid::kSquare, 6},
      {"hexagonal, shifted rows one shorter", 40, 30, cone::Grid::kHexagonal, 0},
      {"too many to draw", 2000, 2000, cone::Grid::kSquare, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    cone::ConeInputs in;
    in.ceilingHeight = 9;
    in.earLevel = 5;
    in.roomLength = row.length;
    in.roomWidth = row.width;
    in.targetSpl = 90;
    in.grid = row.grid;
    cone::ConeLayout out;
    ASSERT_EQ(cone::ComputeConeLayout(in, out), cone::ConeStatus::kPlanned);
    const std::vector<Shape> shapes = PlanShapes(in, &out, 185, 135, "");
    // The walls: the one outlined rectangle of the room's proportions.
    const auto wall = std::find_if(shapes.begin(), shapes.end(), [&](const Shape& s) {
      return s.kind == Shape::Kind::Rectangle && !s.fill && s.w < 185 &&
             std::abs(s.w / s.h - static_cast<double>(row.length) / row.width) < 1e-9;
    });
    ASSERT_NE(wall, shapes.end());
    std::size_t dots = 0, circles = 0;
    for (const Shape& s : shapes) {
      if (s.kind != Shape::Kind::Ellipse) continue;
      if (s.fill) {
        ++dots;
        const double x = s.x + s.w / 2, y = s.y + s.h / 2;
        EXPECT_TRUE(x > wall->x && x < wall->x + wall->w && y > wall->y && y < wall->y + wall->h);
      } else {
        ++circles;
        EXPECT_NEAR(s.w, 2 * out.radius * wall->w / row.length, 1e-9);
      }
    }
    const double expected = out.total <= kMaxDrawnLoudspeakers ? out.total : 0;
    EXPECT_EQ(dots, static_cast<std::size_t>(expected));
    EXPECT_EQ(circles, dots);
    if (row.dots != 0) {
      EXPECT_EQ(dots, row.dots);
    }
  }
}

}  // namespace
}  // namespace halvex::hxc
