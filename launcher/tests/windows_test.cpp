// The notice and choice windows as the user sees them: titles, texts,
// control places, pictures, fonts, tab order, and what ends each window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "halvex/version.h"
#include "launcher/launcher.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::launcher {
namespace {

namespace t = ui::testing;

// Every control of a window table sits where its dialog units put it.
void ExpectPlaces(ui::Window* window, const ui::WindowTable& table) {
  for (const ui::ControlRow& row : table.controls) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(t::Geometry(window, row.id), t::DialogRect(window, {row.x, row.y, row.w, row.h}));
  }
}

// Lone carriage returns break the lines on screen; the blanks before them stay.
std::string ShownLines(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  return text;
}

class Notice : public ::testing::Test {
 protected:
  void SetUp() override { BuildNoticeWindow(); }
  void TearDown() override {
    if (NoticeWindow() != nullptr) DestroyNoticeWindow();
  }
};

TEST_F(Notice, TitleKeepsItsBlankAndThereIsNoCloseBox) {
  EXPECT_EQ(t::WindowTitle(NoticeWindow()), "HX ");
  EXPECT_FALSE(t::HasCloseButton(NoticeWindow()));
  EXPECT_EQ(t::ClientSize(NoticeWindow()), t::DialogRect(NoticeWindow(), {0, 0, 400, 208}));
}

TEST_F(Notice, ControlsSitAtTheirPlaces) { ExpectPlaces(NoticeWindow(), kNoticeWindow); }

TEST_F(Notice, TextsShowAsSet) {
  EXPECT_EQ(ui::GetText(NoticeWindow(), kOkButton), "&Ok");
  EXPECT_EQ(ui::GetText(NoticeWindow(), kHeadingLabel), "Veltrane");
  EXPECT_EQ(ui::GetText(NoticeWindow(), kRevisionLabel), " Rev. " HALVEX_REVISION);
  for (int id : {kWarrantyLabel, kDescriptionLabel}) {
    SCOPED_TRACE(id);
    const std::string text = ui::GetText(NoticeWindow(), id);
    EXPECT_NE(text.find('\r'), std::string::npos);
    EXPECT_EQ(t::ShownText(NoticeWindow(), id), ShownLines(text));
  }
}

TEST_F(Notice, CopyrightIsOneLineNamingTheMaker) {
  const std::string copyright = ui::GetText(NoticeWindow(), kCopyrightLabel);
  EXPECT_NE(copyright.find("Veltrane"), std::string::npos) << copyright;
  EXPECT_EQ(copyright.find_first_of("\r\n"), std::string::npos) << copyright;
  // One line: wrapped at the label's width it still fits one line's height.
  EXPECT_TRUE(t::ShowsWholeText(NoticeWindow(), kCopyrightLabel));
  // ...which a notice twice as long would not.
  ui::SetText(NoticeWindow(), kCopyrightLabel, copyright + " " + copyright);
  EXPECT_FALSE(t::ShowsWholeText(NoticeWindow(), kCopyrightLabel));
}

TEST_F(Notice, NoTextIsCutOff) {
  for (int id : {kCopyrightLabel, kHeadingLabel, kWarrantyLabel, kDescriptionLabel, kRevisionLabel}) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(t::ShowsWholeText(NoticeWindow(), id));
  }
}

// Each of the description's four lines fits the label's width, as in the
// dialog font; a wider stand-in breaks one early ("Veltrane" alone).
TEST_F(Notice, DescriptionLinesFitTheLabel) { EXPECT_EQ(t::ShownLines(NoticeWindow(), kDescriptionLabel), 4); }

TEST_F(Notice, HeadingIsBoldAtEightPointsOthersAreNot) {
  EXPECT_TRUE(t::FontBold(NoticeWindow(), kHeadingLabel));
  EXPECT_EQ(t::FontPixelSize(NoticeWindow(), kHeadingLabel), ui::FontPixelHeight(8, ui::ScreenDpi()));
  for (int id : {kCopyrightLabel, kWarrantyLabel, kDescriptionLabel, kRevisionLabel, kOkButton}) {
    SCOPED_TRACE(id);
    EXPECT_FALSE(t::FontBold(NoticeWindow(), id));
  }
}

TEST_F(Notice, OnlyOkTakesTheFocus) { EXPECT_EQ(t::TabOrder(NoticeWindow()), std::vector<int>{kOkButton}); }

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
      ranModally = t::ActiveModalWindow() == NoticeWindow() && NoticeWindow() != nullptr;
      if (!ranModally) {
        if (NoticeWindow() != nullptr) ui::EndWindow(NoticeWindow(), 0);
        return;
      }
      t::Focus(NoticeWindow(), kOkButton);
      t::Press(NoticeWindow(), kOkButton, t::Key::Escape);
      t::Type(NoticeWindow(), kOkButton, "x");
      t::ProcessEvents();
      survivedEscape = t::ActiveModalWindow() == NoticeWindow();
      row.end(NoticeWindow());
    });
    RunNoticeWindow();
    EXPECT_TRUE(ranModally);
    EXPECT_TRUE(survivedEscape);
    EXPECT_EQ(NoticeWindow(), nullptr);
  }
}

class Choice : public ::testing::Test {
 protected:
  void SetUp() override { BuildChoiceWindow(); }
  void TearDown() override {
    if (ChoiceWindow() != nullptr) DestroyChoiceWindow();
  }
};

TEST_F(Choice, TitleSizeAndCloseBox) {
  EXPECT_EQ(t::WindowTitle(ChoiceWindow()), "Halvex");
  EXPECT_TRUE(t::HasCloseButton(ChoiceWindow()));
  EXPECT_EQ(t::ClientSize(ChoiceWindow()), t::DialogRect(ChoiceWindow(), {0, 0, 412, 243}));
}

TEST_F(Choice, ControlsSitAtTheirPlaces) { ExpectPlaces(ChoiceWindow(), kChoiceWindow); }

TEST_F(Choice, ButtonsAndDefaultValues) {
  const struct {
    int id;
    const char* text;
  } rows[] = {{kPlanarButton, "Planar"}, {kConeButton, "Cone"}, {kLengthField, "20"}, {kWidthField, "15"},
              {kEarLevelField, "5"},     {kSplField, "90"},     {kCeilingField, "9"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(t::ShownText(ChoiceWindow(), row.id), row.text);
  }
  // Hand-off order: ceiling height, ear level, length, width, SPL.
  EXPECT_EQ(ReadFields(), (handoff::Values{"9", "5", "20", "15", "90"}));
}

TEST_F(Choice, PicturesAreLoaded) {
  EXPECT_TRUE(t::HasPicture(ChoiceWindow(), kLogoPicture));
  EXPECT_EQ(t::PictureSize(ChoiceWindow(), kLogoPicture), (ui::Rect{0, 0, 594, 602}));
  EXPECT_TRUE(t::HasPicture(ChoiceWindow(), kRoomPicture));
  EXPECT_EQ(t::PictureSize(ChoiceWindow(), kRoomPicture), (ui::Rect{0, 0, 465, 234}));
}

// The pictures show in the colours of their drawings, stretched to their
// controls: the screen against the picture files, read without the window
// layer (the build says where), where no field lies on them.
TEST_F(Choice, PicturesShowInFullColour) {
  ui::ShowWindow(ChoiceWindow());
  t::ProcessEvents();
  std::vector<ui::Rect> fields;
  for (int id : kHandoffFields) fields.push_back(t::Geometry(ChoiceWindow(), id));
  const struct {
    int id;
    const char* file;
  } rows[] = {{kLogoPicture, "104"}, {kRoomPicture, "105"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    const std::string path = std::string(HALVEX_ART_REFERENCE_DIR "/") + row.file + HALVEX_ART_REFERENCE_EXT;
    const t::Picture drawing = t::ReadPictureFile(path);
    ASSERT_GT(drawing.width, 0) << path;
    const ui::Rect area = t::Geometry(ChoiceWindow(), row.id);
    const t::PictureDifference difference = t::CompareWithPicture(ChoiceWindow(), area, drawing, fields);
    EXPECT_GT(difference.compared, area.w * area.h * 9 / 10);
    EXPECT_LE(difference.mean, 2.0);
    EXPECT_LE(difference.largest, 16);
  }
}

TEST_F(Choice, FieldsShowOnTopOfTheRoomPictureAndTakeClicks) {
  ui::ShowWindow(ChoiceWindow());
  for (int id : kHandoffFields) {
    SCOPED_TRACE(id);
    const ui::Rect field = t::Geometry(ChoiceWindow(), id);
    const int x = field.x + field.w / 2, y = field.y + field.h / 2;
    EXPECT_EQ(t::VisibleControlAt(ChoiceWindow(), x, y), id);
    EXPECT_EQ(t::ControlAt(ChoiceWindow(), x, y), id);
  }
  const ui::Rect room = t::Geometry(ChoiceWindow(), kRoomPicture);
  EXPECT_EQ(t::VisibleControlAt(ChoiceWindow(), room.x + 2, room.y + 2), kRoomPicture);
}

TEST_F(Choice, TabOrderIsCreationOrder) {
  EXPECT_EQ(t::TabOrder(ChoiceWindow()), (std::vector<int>{kPlanarButton, kConeButton, kLengthField, kWidthField,
                                                         kEarLevelField, kSplField, kCeilingField}));
}

TEST_F(Choice, FocusComesBackToTheControlThatHadItOnDeactivation) {
  ui::ShowWindow(ChoiceWindow());
  BuildNoticeWindow();
  ui::ShowWindow(NoticeWindow());
  t::Focus(ChoiceWindow(), kEarLevelField);

  t::Activate(NoticeWindow());
  // Moved while the window is inactive: the remembered control wins on return.
  ui::SetFocus(ChoiceWindow(), kSplField);
  t::Activate(ChoiceWindow());
  EXPECT_EQ(ui::FocusedControl(ChoiceWindow()), kEarLevelField);
  // The notice, deactivated meanwhile, gets back its own.
  t::Activate(NoticeWindow());
  EXPECT_EQ(ui::FocusedControl(NoticeWindow()), kOkButton);

  DestroyNoticeWindow();
}

TEST(ChoiceFlow, OnlyTheCloseCommandEndsIt) {
  bool ranModally = false, survivedKeys = false;
  t::RunSoon([&] {
    ranModally = ChoiceWindow() != nullptr && t::ActiveModalWindow() == ChoiceWindow();
    if (!ranModally) {
        if (ChoiceWindow() != nullptr) ui::EndWindow(ChoiceWindow(), 0);
        return;
      }
    t::Focus(ChoiceWindow(), kWidthField);
    t::Press(ChoiceWindow(), kWidthField, t::Key::Escape);
    t::Press(ChoiceWindow(), kWidthField, t::Key::Enter);
    t::ProcessEvents();
    survivedKeys = t::ActiveModalWindow() == ChoiceWindow();
    t::RequestClose(ChoiceWindow());
  });
  RunChoiceWindow();
  EXPECT_TRUE(ranModally);
  EXPECT_TRUE(survivedKeys);
  EXPECT_EQ(ChoiceWindow(), nullptr);
}

}  // namespace
}  // namespace halvex::launcher
