// The launcher: a notice window naming the maker, then the choice window with
// the five room values over a room picture, whose "Planar" and "Cone" buttons
// start a calculator with the values and take them back from hx.tmp once the
// calculator has ended. The values live nowhere but in the five edit fields.
#pragma once

#include <array>
#include <string>

#include "handoff/handoff.h"
#include "ui/ui.h"

namespace halvex::launcher {

// Control ids of the choice window.
inline constexpr int kPlanarButton = 1001;
inline constexpr int kConeButton = 1002;
inline constexpr int kLogoPicture = 1005;
inline constexpr int kRoomPicture = 1006;
inline constexpr int kLengthField = 1007;
inline constexpr int kWidthField = 1008;
inline constexpr int kEarLevelField = 1009;
inline constexpr int kSplField = 1010;
inline constexpr int kCeilingField = 1011;

// Control ids of the notice window.
inline constexpr int kOkButton = 1019;
inline constexpr int kCopyrightLabel = 1020;
inline constexpr int kHeadingLabel = 1021;
inline constexpr int kWarrantyLabel = 1022;
inline constexpr int kDescriptionLabel = 1023;
inline constexpr int kRevisionLabel = 1024;

// The field of each hand-off value.
inline constexpr std::array<int, handoff::kValueCount> kHandoffFields = [] {
  std::array<int, handoff::kValueCount> fields{};
  fields[handoff::kCeilingValue] = kCeilingField;
  fields[handoff::kEarLevelValue] = kEarLevelField;
  fields[handoff::kLengthValue] = kLengthField;
  fields[handoff::kWidthValue] = kWidthField;
  fields[handoff::kSplValue] = kSplField;
  return fields;
}();

// Which button starts which calculator, by the name of its program file.
struct Calculator {
  int button;
  const char* command;
};
// The commands without the system's suffix for programs (".exe" on Windows).
inline constexpr std::array<Calculator, 2> kCalculators{{{kPlanarButton, "HXP"}, {kConeButton, "HXC"}}};

// The two windows as data: creation order is tab order.
extern const ui::WindowTable kNoticeWindow;
extern const ui::WindowTable kChoiceWindow;

// Each window while it exists, else null.
ui::Window* NoticeWindow();
ui::Window* ChoiceWindow();

// Program entry: the notice window, then the choice window; returns 0.
int RunLauncher();

// Builds the notice window hidden, with its icon, texts and bold heading
// font; runs it until "&Ok" or the close command; destroys it and the font.
void BuildNoticeWindow();
void RunNoticeWindow();
void DestroyNoticeWindow();
int HandleNoticeEvent(const ui::Event& event);

// Builds the choice window hidden, with its icon, pictures and the default
// values; runs it until the close command; destroys it.
void BuildChoiceWindow();
void RunChoiceWindow();
void DestroyChoiceWindow();
int HandleChoiceEvent(const ui::Event& event);

// Starts the calculator `command` with the five values of the choice window,
// waits for its end while the window keeps painting and ignores input, then
// reads hx.tmp back into the fields if the calculator wrote it meanwhile. A
// calculator that cannot be started is reported in a message box; the fields
// then keep their values.
void StartChild(const std::string& command);

// The five values as the choice window's fields hold them, and setting them.
handoff::Values ReadFields();
void SetFields(const handoff::Values& values);

}  // namespace halvex::launcher
