#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ui/message_text.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::ui {
namespace {

namespace t = ui::testing;
using namespace ui::style;

TEST(DialogUnits, MapEachEdgeAtTheResolution) {
  const struct {
    Rect units;
    int dpi;
    Rect pixels;
  } rows[] = {
      {{16, 10, 310, 144}, 96, {24, 16, 465, 234}},  // the room picture area, 1:1 with its bitmaps
      {{118, 133, 27, 15}, 96, {177, 216, 41, 25}},
      {{400, 331, 0, 0}, 96, {600, 538, 0, 0}},
      {{74, 214, 1, 20}, 96, {111, 348, 2, 32}},
      {{16, 10, 310, 144}, 120, {30, 20, 581, 293}},
      {{118, 133, 27, 15}, 120, {221, 270, 51, 31}},
      {{11, 277, 15, 1}, 120, {21, 563, 28, 2}},
      {{0, 0, 400, 331}, 144, {0, 0, 900, 807}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.units.x) + "," + std::to_string(row.units.y) + " at " + std::to_string(row.dpi));
    const Rect r = DialogToPixels(row.units, row.dpi);
    EXPECT_EQ(r.x, row.pixels.x);
    EXPECT_EQ(r.y, row.pixels.y);
    EXPECT_EQ(r.w, row.pixels.w);
    EXPECT_EQ(r.h, row.pixels.h);
  }
}

TEST(Fonts, PixelHeightTruncates) {
  const struct {
    int points, dpi, height;
  } rows[] = {{8, 96, 10}, {14, 96, 18}, {12, 96, 16}, {8, 120, 13}, {14, 120, 23}, {12, 120, 20}, {8, 144, 16}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.points) + " pt at " + std::to_string(row.dpi));
    EXPECT_EQ(FontPixelHeight(row.points, row.dpi), row.height);
  }
}

struct Recorded {
  unsigned message;
  int id;
  int code;
  std::uintptr_t param;
  bool operator==(const Recorded& o) const {
    return message == o.message && id == o.id && code == o.code && param == o.param;
  }
};

std::vector<Recorded> events;
std::function<void(const Event&)> onEvent;

int Record(const Event& event) {
  events.push_back({event.message, event.controlId, event.code, event.param});
  if (onEvent) onEvent(event);
  return 0;
}

std::vector<Recorded> CommandsOnly() {
  std::vector<Recorded> commands;
  for (const Recorded& e : events) {
    if (e.message == kWmCommand) commands.push_back(e);
  }
  return commands;
}

const WindowTable kTable{
    "Test Window",
    200,
    110,
    kPopup | kCaption | kSysMenu | kDsCenter | kDsModalFrame,
    kExControlParent,
    {
        {10, ControlKind::Edit, "a", 10, 10, 40, 12, kTabStop | kEsAutoHScroll, kExClientEdge},
        {11, ControlKind::Edit, "b", 10, 30, 40, 12, kTabStop | kEsAutoHScroll, kExClientEdge},
        {12, ControlKind::Combo, "", 60, 10, 50, 60, kTabStop | kCbsDropDown | kCbsSort | kVScroll, 0},
        {13, ControlKind::Label, "Line one\rLine two", 10, 50, 80, 20, kSsLeft, kExTransparent},
        {14, ControlKind::Picture, "#900", 100, 50, 30, 20, kSsBitmap, 0},
        {15, ControlKind::Picture, "#999", 140, 50, 30, 20, kSsBitmap, 0},
        {17, ControlKind::Button, "&Go", 150, 80, 40, 14, kTabStop | kBsPushButton, 0},
        {18, ControlKind::Group, "Box", 5, 2, 190, 100, kBsGroupBox, 0},
        {16, ControlKind::Picture, "", 0, 0, 200, 110, kSsBitmap | kSsNotify, 0},
    },
};

class WindowLayer : public ::testing::Test {
 protected:
  void SetUp() override {
    events.clear();
    onEvent = nullptr;
    window = CreateDialogWindow(kTable, Record);
  }
  void TearDown() override {
    DestroyWindow(window);
    onEvent = nullptr;
  }
  Window* window = nullptr;
};

TEST_F(WindowLayer, ControlsSitWhereTheirDialogUnitsPutThem) {
  for (const ControlRow& row : kTable.controls) {
    if (row.kind == ControlKind::Combo) continue;  // closed height differs
    SCOPED_TRACE(row.id);
#ifdef _WIN32
    // A bitmap static of the window system takes its picture's size.
    if (t::HasPicture(window, row.id) && (row.style & kSsRealSizeControl) == 0) {
      EXPECT_EQ(t::Geometry(window, row.id).w, t::PictureSize(window, row.id).w);
      continue;
    }
#endif
    EXPECT_EQ(t::Geometry(window, row.id), t::DialogRect(window, {row.x, row.y, row.w, row.h}));
  }
  EXPECT_EQ(t::ClientSize(window), t::DialogRect(window, {0, 0, 200, 110}));
  EXPECT_EQ(t::Geometry(window, 12).x, t::DialogRect(window, {60, 10, 50, 60}).x);
  EXPECT_LT(t::Geometry(window, 12).h, t::DialogRect(window, {60, 10, 50, 60}).h);
}

TEST_F(WindowLayer, EditFieldsTakeValuesBeyondTheToolkitsDefaultLength) {
  const std::string value(40000, '7');
  SetText(window, 10, value);
  EXPECT_EQ(GetText(window, 10).size(), value.size());
}

TEST_F(WindowLayer, ErrorMessagesShowUtf8PathsAndWrapLongOnes) {
  t::AnswerMessageBoxes();
  const std::string message =
      "Cannot write /tmp/Z\xc3\xbcrich/" + std::string(70, 'd') + "/hx.tmp: No space left on device";
  ShowError(window, "HXP", message);
  const std::vector<t::MessageBoxText> boxes = t::TakeAnsweredMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "HXP");
  EXPECT_EQ(boxes[0].text, BreakLongWords(message));
  EXPECT_NE(boxes[0].text, message);  // the long path was broken
}

TEST(MessageText, LongWordsBreakAfterASeparator) {
  const struct {
    const char* text;
    std::size_t width;
    const char* shown;
  } rows[] = {
      {"Cannot write /a/b/c", 60, "Cannot write /a/b/c"},
      {"see /a/b/c: gone", 4, "see /a/\nb/c: gone"},
      {"C:\\data\\hx.tmp", 9, "C:\\data\\\nhx.tmp"},
      {"abcdefgh ij", 3, "abc\ndef\ngh ij"},
      {"\xc3\xa4\xc3\xa4\xc3\xa4", 3, "\xc3\xa4\n\xc3\xa4\n\xc3\xa4"},  // "äää": whole characters
      {"line\r\nends\n", 2, "li\nne\r\nen\nds\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_EQ(BreakLongWords(row.text, row.width), row.shown);
  }
}

TEST_F(WindowLayer, NoEventsBeforeTheWindowIsShown) {
  SetText(window, 10, "x");
  SelectListEntry(window, 12, 0);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(GetText(window, 10), "x");
}

TEST_F(WindowLayer, SettingEditTextReportsAChangeEvenForTheSameText) {
  ShowWindow(window);
  events.clear();
  SetText(window, 10, "a");
  SetText(window, 10, "a");
  const Recorded change{kWmCommand, 10, kEnChange, (0x300u << 16) | 10u};
  EXPECT_EQ(CommandsOnly(), (std::vector<Recorded>{change, change}));
}

TEST_F(WindowLayer, ANestedChangeRunsBeforeTheOuterHandlerGoesOn) {
  ShowWindow(window);
  std::vector<std::string> trace;
  onEvent = [&](const Event& e) {
    if (e.message != kWmCommand || e.code != kEnChange) return;
    const std::string text = GetText(e.window, e.controlId);
    trace.push_back("enter " + text);
    if (text == "10") SetText(e.window, e.controlId, " 8");
    trace.push_back("leave " + text);
  };
  SetText(window, 11, "10");
  EXPECT_EQ(trace, (std::vector<std::string>{"enter 10", "enter  8", "leave  8", "leave 10"}));
}

TEST_F(WindowLayer, EveryKeystrokeIsOneChange) {
  ShowWindow(window);
  t::Focus(window, 11);
  t::Press(window, 11, t::Key::End);
  events.clear();
  t::Type(window, 11, "12");
  t::Press(window, 11, t::Key::Backspace);
  EXPECT_EQ(GetText(window, 11), "b1");
  EXPECT_EQ(CommandsOnly().size(), 3u);
}

#ifndef _WIN32  // the window system's edit keeps a single undo step of its own
// Undo reaches back over recent changes only, so that the history of a field
// stays bounded however long the window is used.
TEST_F(WindowLayer, UndoReachesBackOverRecentChangesOnly) {
  ShowWindow(window);
  t::Focus(window, 11);
  t::Press(window, 11, t::Key::End);
  events.clear();
  const std::string typed(250, '7');
  for (const char key : typed) {
    t::Type(window, 11, std::string(1, key));
    t::ProcessEvents();
  }
  EXPECT_EQ(GetText(window, 11), "b" + typed);
  EXPECT_EQ(CommandsOnly().size(), typed.size());  // forgetting reports nothing
  for (int i = 0; i < 300; ++i) t::Press(window, 11, t::Key::Undo);
  // Back to where the history last started, at a multiple of its length.
  EXPECT_EQ(GetText(window, 11), "b" + std::string(200, '7'));
}
#endif

TEST_F(WindowLayer, FocusEventsNameTheControl) {
  ShowWindow(window);
  t::Focus(window, 11);
  t::Press(window, 11, t::Key::Tab);
  std::vector<Recorded> focus;
  for (const Recorded& e : CommandsOnly()) {
    if (e.code == kEnSetFocus || e.code == kCbnSetFocus) focus.push_back(e);
  }
  ASSERT_EQ(focus.size(), 2u);
  EXPECT_EQ(focus[0].id, 11);
  EXPECT_EQ(focus[0].code, kEnSetFocus);
  EXPECT_EQ(focus[1].id, 12);
  EXPECT_EQ(focus[1].code, kCbnSetFocus);
  EXPECT_EQ(FocusedControl(window), 12);
}

TEST_F(WindowLayer, TabOrderIsCreationOrder) {
  EXPECT_EQ(t::TabOrder(window), (std::vector<int>{10, 11, 12, 17}));
}

TEST_F(WindowLayer, SortedListAndSelection) {
  for (const char* entry : {"b", "C", "a"}) AddListEntry(window, 12, entry);
  EXPECT_EQ(t::ListEntry(window, 12, 0), "a");
  EXPECT_EQ(t::ListEntry(window, 12, 1), "b");
  EXPECT_EQ(t::ListEntry(window, 12, 2), "C");
  EXPECT_EQ(SelectedEntryText(window, 12), "");
  SelectListEntry(window, 12, 1);
  EXPECT_EQ(SelectedEntryText(window, 12), "b");

  ShowWindow(window);
  events.clear();
  t::Choose(window, 12, 2);
  EXPECT_EQ(SelectedEntryText(window, 12), "C");
  const std::vector<Recorded> commands = CommandsOnly();
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].code, kCbnSelChange);
  EXPECT_EQ(commands[1].code, kCbnCloseUp);
}

TEST_F(WindowLayer, VisibilitySetBeforeShowingIsKept) {
  Show(window, 13, false);
  EXPECT_FALSE(IsShown(window, 13));
  EXPECT_TRUE(IsShown(window, 14));
  ShowWindow(window);
  EXPECT_FALSE(t::IsOnScreen(window, 13));
  EXPECT_TRUE(t::IsOnScreen(window, 14));
  Show(window, 13, true);
  EXPECT_TRUE(t::IsOnScreen(window, 13));
}

TEST_F(WindowLayer, LabelsBreakAtCarriageReturns) {
  EXPECT_EQ(t::ShownText(window, 13), "Line one\nLine two");
  EXPECT_EQ(GetText(window, 13), "Line one\rLine two");
  SetText(window, 13, "x\r\ny\rz");
  EXPECT_EQ(t::ShownText(window, 13), "x\ny\nz");
  EXPECT_TRUE(t::IsWordWrapped(window, 13));
}

TEST_F(WindowLayer, PicturesLoadByResourceNameAndAMissingOneStaysEmpty) {
  EXPECT_TRUE(t::HasPicture(window, 14));
  EXPECT_EQ(t::PictureSize(window, 14), (Rect{0, 0, 30, 20}));
  EXPECT_FALSE(t::HasPicture(window, 15));
  EXPECT_FALSE(LoadPicture(window, 14, "#12345"));
  EXPECT_FALSE(t::HasPicture(window, 14));
  EXPECT_TRUE(LoadPicture(window, 15, "#900"));
  SetWindowIcon(window, "#404");  // missing: no icon, no crash
}

// A picture given to a hidden control reaches the screen when the control
// shows, as one given to a shown control does at once.
TEST_F(WindowLayer, APictureLoadedWhileHiddenShowsWithItsControl) {
  Show(window, 14, false);
  ShowWindow(window);
  t::ProcessEvents();
  const Rect hidden = t::Geometry(window, 14), shown = t::Geometry(window, 15);
  const Color beneath = t::ScreenPixel(window, hidden.x + 5, hidden.y + 5);
  ASSERT_TRUE(LoadPicture(window, 14, "#900"));
  ASSERT_TRUE(LoadPicture(window, 15, "#900"));
  t::ProcessEvents();
  const Color expected = t::ScreenPixel(window, shown.x + 5, shown.y + 5);
  ASSERT_FALSE(expected == beneath);
  EXPECT_EQ(t::ScreenPixel(window, hidden.x + 5, hidden.y + 5), beneath);
  Show(window, 14, true);
  t::ProcessEvents();
  EXPECT_EQ(t::ScreenPixel(window, hidden.x + 5, hidden.y + 5), expected);
}

TEST_F(WindowLayer, ColoursAndTheDefaultBackground) {
  SetColors(window, 13, {0, 0, 0}, Color{255, 0, 0});
  ASSERT_TRUE(t::Background(window, 13).has_value());
  EXPECT_EQ(*t::Background(window, 13), (Color{255, 0, 0}));
  EXPECT_EQ(t::TextColor(window, 13), (Color{0, 0, 0}));
  SetColors(window, 13, {0, 0, 0}, std::nullopt);
  EXPECT_FALSE(t::Background(window, 13).has_value());
}

// A redraw after a colour change shows it on screen, one way and back, and
// other redraws leave the window as it is.
TEST_F(WindowLayer, ColourChangesReachTheScreen) {
  ShowWindow(window);
  t::ProcessEvents();
  const Rect label = t::Geometry(window, 13);
  const int x = label.x + label.w - 2, y = label.y + label.h - 2;  // below and beside the text
  const Color before = t::ScreenPixel(window, x, y);
  ASSERT_FALSE(before == (Color{255, 0, 0}));
  for (const bool red : {true, true, false, false}) {
    SCOPED_TRACE(red ? "red" : "default");
    SetColors(window, 13, {0, 0, 0}, red ? std::optional<Color>(Color{255, 0, 0}) : std::nullopt);
    RedrawWindow(window);
    t::ProcessEvents();
    EXPECT_EQ(t::ScreenPixel(window, x, y), red ? (Color{255, 0, 0}) : before);
  }
}

TEST_F(WindowLayer, BoldFontsFollowTheResolution) {
  Font* font = CreateBoldFont(14);
  SetFont(window, 13, font);
  EXPECT_EQ(t::FontPixelSize(window, 13), FontPixelHeight(14, ScreenDpi()));
  EXPECT_TRUE(t::FontBold(window, 13));
  EXPECT_FALSE(t::FontBold(window, 10));
  DeleteFont(font);
}

TEST_F(WindowLayer, FirstCreatedLiesOnTopAndStaticsLetClicksThrough) {
  ShowWindow(window);
  const Rect edit = t::Geometry(window, 10);
  EXPECT_EQ(t::ControlAt(window, edit.x + 2, edit.y + 2), 10);  // not the group box made later
  const Rect label = t::Geometry(window, 13);
  EXPECT_EQ(t::ControlAt(window, label.x + 2, label.y + 2), 16);  // the click area under the label
  events.clear();
  t::Click(window, 16);
  ASSERT_EQ(CommandsOnly().size(), 1u);
  EXPECT_EQ(CommandsOnly()[0].id, 16);
  EXPECT_EQ(CommandsOnly()[0].code, kStnClicked);
}

TEST_F(WindowLayer, ButtonsReportClicksAndEnterOnAFocusedButton) {
  ShowWindow(window);
  events.clear();
  t::Click(window, 17);
  t::Focus(window, 17);
  t::Press(window, 17, t::Key::Enter);
  std::vector<Recorded> clicks;
  for (const Recorded& e : CommandsOnly()) {
    if (e.id == 17) clicks.push_back(e);
  }
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].code, kBnClicked);
  EXPECT_EQ(clicks[1].code, kBnClicked);
}

// Alt with a letter is a mnemonic: it presses the button it names and never
// types. A bare letter types into an edit field; on a button, which takes no
// typing, it presses the button it names.
TEST_F(WindowLayer, LettersTypeOrPressButtons) {
  ShowWindow(window);
  const struct {
    const char* name;
    int focus;
    char letter;
    bool alt;
    const char* text;
    int clicks;
  } rows[] = {
      {"Alt+P in an edit field", 10, 'p', true, "a", 0}, {"Alt+G in an edit field", 10, 'g', true, "a", 1},
      {"G in an edit field", 10, 'g', false, "ag", 0},   {"G on the button", 17, 'g', false, "a", 1},
      {"X on the button", 17, 'x', false, "a", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    SetText(window, 10, "a");
    t::Focus(window, row.focus);
    if (row.focus == 10) t::Press(window, 10, t::Key::End);
    events.clear();
    if (row.alt) {
      t::TypeWithAlt(window, row.focus, row.letter);
    } else {
      t::Type(window, row.focus, std::string(1, row.letter));
    }
    t::ProcessEvents();
    EXPECT_EQ(GetText(window, 10), row.text);
    int clicks = 0, changes = 0;
    for (const Recorded& e : CommandsOnly()) {
      clicks += e.id == 17 && e.code == kBnClicked;
      changes += e.id == 10 && e.code == kEnChange;
    }
    EXPECT_EQ(clicks, row.clicks);
    EXPECT_EQ(changes, GetText(window, 10) == "a" ? 0 : 1);
  }
}

TEST_F(WindowLayer, OnlyTheCloseCommandEndsAModalWindow) {
  bool stillRunningAfterKeys = false;
  t::RunSoon([&] {
    Window* modal = t::ActiveModalWindow();
    ASSERT_EQ(modal, window);
    t::Focus(window, 10);
    t::Press(window, 10, t::Key::Escape);
    t::Press(window, 10, t::Key::Enter);
    t::ProcessEvents();
    stillRunningAfterKeys = t::ActiveModalWindow() == window;
    t::RequestClose(window);
  });
  EXPECT_EQ(RunModal(window), 0);
  EXPECT_TRUE(stillRunningAfterKeys);
  int closes = 0;
  for (const Recorded& e : events) {
    if (e.message == kWmSysCommand && (e.param & kSysCommandMask) == kScClose) ++closes;
    EXPECT_FALSE(e.message == kWmCommand && e.id == 17) << "Enter in an edit field pressed a button";
  }
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(t::HasCloseButton(window));
}

}  // namespace
}  // namespace halvex::ui
