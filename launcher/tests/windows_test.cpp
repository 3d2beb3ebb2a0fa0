// The notice and choice windows as the user sees them: titles, texts to the
// byte, control places, pictures, fonts, tab order, and what ends each window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::launcher {
namespace {

namespace t = ui::testing;

std::string JoinLines(const std::vector<std::string>& lines, const std::string& separator) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) joined += (i == 0 ? "" : separator) + lines[i];
  return joined;
}

const std::vector<std::string> kDescriptionLines{
    "DE Vaza will calculate a typical overhead distributed sound system using Veltrane Loudspeakers and display ",
    "the location of the first loudspeaker from the walls (lower left corner).",
    "The calculations are based on a typical square layout taking in consideration the wide coverage angle of the "
    "Veltrane ",
    "loudspeakers up to 8kHz.",
};
const std::vector<std::string> kWarrantyLines{
    "VELTRANE MAKES NO REPRESENTATION OR WARRANTY REGARDING THE RESULTS ",
    "OBTAINABLE THROUGH THE USE OF THIS SOFTWARE. NO ORAL OR WRITTEN INFORMATION OR ADVICE  ",
    "GIVEN BY VELTRANE, ITS DEALERS, DISTRIBUTORS, AGENTS, AFFILIATES, ",
    "DEVELOPERS, DIRECTORS, OFFICERS, OR EMPLOYEES SHALL CREATE A WARRANTY OR IN ANY WAY ",
    "INCREASE THE SCOPE OF THIS WARRANTY",
    " ",
};

struct Placed {
  int id;
  ui::Rect units;
};

void ExpectPlaces(ui::Window* window, const std::vector<Placed>& places) {
  for (const Placed& place : places) {
    SCOPED_TRACE(place.id);
    EXPECT_EQ(t::Geometry(window, place.id), t::DialogRect(window, place.units));
  }
}

class NoticeWindow : public ::testing::Test {
 protected:
  void SetUp() override { BuildNoticeWindow(); }
  void TearDown() override {
    if (noticeWindow != nullptr) DestroyNoticeWindow();
  }
};

TEST_F(NoticeWindow, TitleKeepsItsBlankAndThereIsNoCloseBox) {
  EXPECT_EQ(t::WindowTitle(noticeWindow), "HX ");
  EXPECT_FALSE(t::HasCloseButton(noticeWindow));
  EXPECT_EQ(t::ClientSize(noticeWindow), t::DialogRect(noticeWindow, {0, 0, 400, 208}));
}

TEST_F(NoticeWindow, ControlsSitAtTheirPlaces) {
  ExpectPlaces(noticeWindow, {{kOkButton, {320, 176, 50, 15}},
                              {kCopyrightLabel, {10, 170, 165, 11}},
                              {kHeadingLabel, {10, 11, 370, 20}},
                              {kWarrantyLabel, {10, 112, 370, 50}},
                              {kDescriptionLabel, {10, 41, 370, 65}},
                              {kRevisionLabel, {10, 181, 60, 15}}});
}

TEST_F(NoticeWindow, TextsToTheByte) {
  const struct {
    int id;
    std::string text;
  } rows[] = {
      {kOkButton, "&Ok"},
      {kHeadingLabel, "Veltrane"},
      {kDescriptionLabel, JoinLines(kDescriptionLines, "\r")},
      {kWarrantyLabel, JoinLines(kWarrantyLines, "\r")},
      {kRevisionLabel, " Rev. 1.5"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(ui::GetText(noticeWindow, row.id), row.text);
  }
  // Lone carriage returns break the lines on screen; the blanks before them stay.
  EXPECT_EQ(t::ShownText(noticeWindow, kWarrantyLabel), JoinLines(kWarrantyLines, "\n"));
  EXPECT_EQ(t::ShownText(noticeWindow, kDescriptionLabel), JoinLines(kDescriptionLines, "\n"));
}

TEST_F(NoticeWindow, CopyrightIsOneLineNamingTheMaker) {
  const std::string copyright = ui::GetText(noticeWindow, kCopyrightLabel);
  EXPECT_NE(copyright.find("Veltrane"), std::string::npos) << copyright;
  EXPECT_EQ(copyright.find_first_of("\r\n"), std::string::npos) << copyright;
  // One line: wrapped at the label's width it still fits one line's height.
  EXPECT_TRUE(t::ShowsWholeText(noticeWindow, kCopyrightLabel));
  // ...which a notice twice as long would not.
  ui::SetText(noticeWindow, kCopyrightLabel, copyright + " " + copyright);
  EXPECT_FALSE(t::ShowsWholeText(noticeWindow, kCopyrightLabel));
}

TEST_F(NoticeWindow, NoTextIsCutOff) {
  for (int id : {kCopyrightLabel, kHeadingLabel, kWarrantyLabel, kDescriptionLabel, kRevisionLabel}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(t::ShowsWholeText(noticeWindow, id));
  }
}

TEST_F(NoticeWindow, HeadingIsBoldAtEightPointsOthersAreNot) {
  EXPECT_TRUE(t::FontBold(noticeWindow, kHeadingLabel));
  EXPECT_EQ(t::FontPixelSize(noticeWindow, kHeadingLabel), ui::FontPixelHeight(8, ui::ScreenDpi()));
  for (int id : {kCopyrightLabel, kWarrantyLabel, kDescriptionLabel, kRevisionLabel, kOkButton}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(t::FontBold(noticeWindow, id));
  }
}

TEST_F(NoticeWindow, OnlyOkTakesTheFocus) { EXPECT_EQ(t::TabOrder(noticeWindow), std::vector<int>{kOkButton}); }

// RunNoticeWindow builds, runs and destroys the window; the actions run
// inside its modal loop.
TEST(NoticeFlow, OkOrTheCloseCommandEndItEscapeAndTypingDoNot) {
  const struct {
    const char* name;
    void (*end)(ui::Window*);
  } rows[] = {
      {"click on Ok", [](ui::Window* w) { t::Click(w, kOkButton); }},
      {"Enter on Ok", [](ui::Window* w) { t::Press(w, kOkButton, t::Key::Enter); }},
      {"close command", [](ui::Window* w) { t::RequestClose(w); }},
      {"the letter o", [](ui::Window* w) { t::Type(w, kOkButton, "o"); }},
      {"Alt+O", [](ui::Window* w) { t::TypeWithAlt(w, kOkButton, 'o'); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    bool ranModally = false, survivedEscape = false;
    t::RunSoon([&] {
      ranModally = t::ActiveModalWindow() == noticeWindow && noticeWindow != nullptr;
      if (!ranModally) {
        if (noticeWindow != nullptr) ui::EndWindow(noticeWindow, 0);
        return;
      }
      t::Focus(noticeWindow, kOkButton);
      t::Press(noticeWindow, kOkButton, t::Key::Escape);
      t::Type(noticeWindow, kOkButton, "x");
      t::ProcessEvents();
      survivedEscape = t::ActiveModalWindow() == noticeWindow;
      row.end(noticeWindow);
    });
    RunNoticeWindow();
    EXPECT_TRUE(ranModally);
    EXPECT_TRUE(survivedEscape);
    EXPECT_EQ(noticeWindow, nullptr);
    EXPECT_EQ(headingFont, nullptr);
  }
}

class ChoiceWindow : public ::testing::Test {
 protected:
  void SetUp() override { BuildChoiceWindow(); }
  void TearDown() override {
    if (choiceWindow != nullptr) DestroyChoiceWindow();
  }
};

TEST_F(ChoiceWindow, TitleSizeAndCloseBox) {
  EXPECT_EQ(t::WindowTitle(choiceWindow), "Halvex");
  EXPECT_TRUE(t::HasCloseButton(choiceWindow));
  EXPECT_EQ(t::ClientSize(choiceWindow), t::DialogRect(choiceWindow, {0, 0, 412, 243}));
}

TEST_F(ChoiceWindow, ControlsSitAtTheirPlaces) {
  ExpectPlaces(choiceWindow, {{kPlanarButton, {10, 221, 50, 15}},
                              {kConeButton, {355, 221, 50, 15}},
                              {kLogoPicture, {360, 6, 45, 45}},
                              {kRoomPicture, {60, 60, 300, 150}},
                              {kLengthField, {140, 186, 25, 13}},
                              {kWidthField, {290, 186, 25, 13}},
                              {kEarLevelField, {145, 136, 25, 13}},
                              {kSplField, {205, 101, 25, 13}},
                              {kCeilingField, {310, 81, 25, 13}}});
}

TEST_F(ChoiceWindow, ButtonsAndDefaultValues) {
  const struct {
    int id;
    const char* text;
  } rows[] = {{kPlanarButton, "Planar"}, {kConeButton, "Cone"}, {kLengthField, "20"}, {kWidthField, "15"},
              {kEarLevelField, "5"},     {kSplField, "90"},     {kCeilingField, "9"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(t::ShownText(choiceWindow, row.id), row.text);
  }
  // Hand-off order: ceiling height, ear level, length, width, SPL.
  EXPECT_EQ(ReadFields(), (handoff::Values{"9", "5", "20", "15", "90"}));
}

TEST_F(ChoiceWindow, PicturesAreLoaded) {
  EXPECT_TRUE(t::HasPicture(choiceWindow, kLogoPicture));
  EXPECT_EQ(t::PictureSize(choiceWindow, kLogoPicture), (ui::Rect{0, 0, 594, 602}));
  EXPECT_TRUE(t::HasPicture(choiceWindow, kRoomPicture));
  EXPECT_EQ(t::PictureSize(choiceWindow, kRoomPicture), (ui::Rect{0, 0, 465, 234}));
}

TEST_F(ChoiceWindow, FieldsShowOnTopOfTheRoomPictureAndTakeClicks) {
  ui::ShowWindow(choiceWindow);
  for (int id : kHandoffFields) {
    SCOPED_TRACE(id);
    const ui::Rect field = t::Geometry(choiceWindow, id);
    const int x = field.x + field.w / 2, y = field.y + field.h / 2;
    EXPECT_EQ(t::VisibleControlAt(choiceWindow, x, y), id);
    EXPECT_EQ(t::ControlAt(choiceWindow, x, y), id);
  }
  const ui::Rect room = t::Geometry(choiceWindow, kRoomPicture);
  EXPECT_EQ(t::VisibleControlAt(choiceWindow, room.x + 2, room.y + 2), kRoomPicture);
}

TEST_F(ChoiceWindow, TabOrderIsCreationOrder) {
  EXPECT_EQ(t::TabOrder(choiceWindow), (std::vector<int>{kPlanarButton, kConeButton, kLengthField, kWidthField,
                                                         kEarLevelField, kSplField, kCeilingField}));
}

TEST_F(ChoiceWindow, FocusComesBackToTheControlThatHadItOnDeactivation) {
  ui::ShowWindow(choiceWindow);
  BuildNoticeWindow();
  ui::ShowWindow(noticeWindow);
  t::Focus(choiceWindow, kEarLevelField);

  t::Activate(noticeWindow);
  EXPECT_EQ(choiceFocus, kEarLevelField);
  // Moved while the window is inactive: the remembered control wins on return.
  ui::SetFocus(choiceWindow, kSplField);
  t::Activate(choiceWindow);
  EXPECT_EQ(ui::FocusedControl(choiceWindow), kEarLevelField);
  EXPECT_EQ(choiceFocus, 0);  // forgotten once given back
  EXPECT_EQ(noticeFocus, kOkButton);

  DestroyNoticeWindow();
}

TEST(ChoiceFlow, OnlyTheCloseCommandEndsIt) {
  bool ranModally = false, survivedKeys = false;
  t::RunSoon([&] {
    ranModally = choiceWindow != nullptr && t::ActiveModalWindow() == choiceWindow;
    if (!ranModally) {
        if (choiceWindow != nullptr) ui::EndWindow(choiceWindow, 0);
        return;
      }
    t::Focus(choiceWindow, kWidthField);
    t::Press(choiceWindow, kWidthField, t::Key::Escape);
    t::Press(choiceWindow, kWidthField, t::Key::Enter);
    t::ProcessEvents();
    survivedKeys = t::ActiveModalWindow() == choiceWindow;
    t::RequestClose(choiceWindow);
  });
  RunChoiceWindow();
  EXPECT_TRUE(ranModally);
  EXPECT_TRUE(survivedKeys);
  EXPECT_EQ(choiceWindow, nullptr);
}

}  // namespace
}  // namespace halvex::launcher
