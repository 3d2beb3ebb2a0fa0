#include "launcher/launcher.h"

#include <cstring>
#include <string>

#include "halvex/version.h"
#include "launcher/program_start.h"
#include "launcher/resource_ids.h"
#include "platform/platform.h"

namespace halvex::launcher {

using ui::ControlKind;
using namespace ui::style;

namespace {

#define LAUNCHER_STRINGIZE(number) #number
#define LAUNCHER_RESOURCE_NAME(number) "#" LAUNCHER_STRINGIZE(number)
constexpr const char* kWindowIcon = LAUNCHER_RESOURCE_NAME(LAUNCHER_ICON);
constexpr const char* kLogoPictureName = LAUNCHER_RESOURCE_NAME(LAUNCHER_PICTURE_LOGO);
constexpr const char* kRoomPictureName = LAUNCHER_RESOURCE_NAME(LAUNCHER_PICTURE_ROOM);
constexpr int kHeadingPoints = 8;
constexpr const char* kErrorTitle = "Halvex";

// The notice texts. Lines break at a lone carriage return; the blanks at the
// ends of lines are part of the texts.
constexpr const char* kNoticeTitle = "HX ";
constexpr const char* kMakerHeading = "Veltrane";
constexpr const char* kCopyrightText = "Copyright (C) Veltrane. All rights reserved.";
constexpr const char* kRevisionText = " Rev. " HALVEX_REVISION;
constexpr const char* kDescriptionText =
    "DE Vaza will calculate a typical overhead distributed sound system using Veltrane Loudspeakers and display \r"
    "the location of the first loudspeaker from the walls (lower left corner).\r"
    "The calculations are based on a typical square layout taking in consideration the wide coverage angle of the "
    "Veltrane \r"
    "loudspeakers up to 8kHz.";
constexpr const char* kWarrantyText =
    "VELTRANE MAKES NO REPRESENTATION OR WARRANTY REGARDING THE RESULTS \r"
    "OBTAINABLE THROUGH THE USE OF THIS SOFTWARE. NO ORAL OR WRITTEN INFORMATION OR ADVICE  \r"
    "GIVEN BY VELTRANE, ITS DEALERS, DISTRIBUTORS, AGENTS, AFFILIATES, \r"
    "DEVELOPERS, DIRECTORS, OFFICERS, OR EMPLOYEES SHALL CREATE A WARRANTY OR IN ANY WAY \r"
    "INCREASE THE SCOPE OF THIS WARRANTY\r ";

// Program-wide state: each window while it exists, the notice's heading
// font, and per window the control that had the focus when the window was
// last deactivated (0: none remembered).
ui::Window* noticeWindow = nullptr;
ui::Window* choiceWindow = nullptr;
ui::Font* headingFont = nullptr;
int noticeFocus = 0;
int choiceFocus = 0;

constexpr std::uint32_t kWindowStyle =
    kPopup | kClipSiblings | kCaption | kDsModalFrame | kDsCenter | kDsSetFont | kDs3dLook | kDsNoFailCreate;
constexpr std::uint32_t kButtonStyle = kChild | kVisible | kTabStop | kBsPushButton;
constexpr std::uint32_t kLabelStyle = kChild | kVisible | kSsLeft;
constexpr std::uint32_t kCentredLabelStyle = kChild | kVisible | kSsCenter;
constexpr std::uint32_t kEditStyle = kChild | kVisible | kTabStop | kEsLeft | kEsAutoHScroll;
// Pictures are stretched to their controls, whatever the bitmap's own size.
constexpr std::uint32_t kPictureStyle = kChild | kVisible | kSsBitmap | kSsRealSizeControl;

}  // namespace

const ui::WindowTable kNoticeWindow{
    kNoticeTitle,
    400,
    208,
    kWindowStyle,  // no system menu: no close box
    kExControlParent,
    {
        {kOkButton, ControlKind::Button, "&Ok", 320, 176, 50, 15, kButtonStyle, 0},
        {kCopyrightLabel, ControlKind::Label, kCopyrightText, 10, 170, 165, 11, kLabelStyle, 0},
        {kHeadingLabel, ControlKind::Label, kMakerHeading, 10, 11, 370, 20, kCentredLabelStyle, 0},
        {kWarrantyLabel, ControlKind::Label, kWarrantyText, 10, 112, 370, 50, kLabelStyle, 0},
        {kDescriptionLabel, ControlKind::Label, kDescriptionText, 10, 41, 370, 65, kLabelStyle, 0},
        {kRevisionLabel, ControlKind::Label, kRevisionText, 10, 181, 60, 15, kLabelStyle, 0},
    },
};

const ui::WindowTable kChoiceWindow{
    "Halvex",
    412,
    243,
    kWindowStyle | kSysMenu,
    kExControlParent,
    {
        {kPlanarButton, ControlKind::Button, "Planar", 10, 221, 50, 15, kButtonStyle, 0},
        {kConeButton, ControlKind::Button, "Cone", 355, 221, 50, 15, kButtonStyle, 0},
        {kLogoPicture, ControlKind::Picture, kLogoPictureName, 360, 6, 45, 45, kPictureStyle, 0},
        {kRoomPicture, ControlKind::Picture, kRoomPictureName, 60, 60, 300, 150, kPictureStyle, 0},
        // Each field sits by the feature of the room drawing it stands for.
        {kLengthField, ControlKind::Edit, "20", 140, 186, 25, 13, kEditStyle, kExClientEdge},
        {kWidthField, ControlKind::Edit, "15", 290, 186, 25, 13, kEditStyle, kExClientEdge},
        {kEarLevelField, ControlKind::Edit, "5", 145, 136, 25, 13, kEditStyle, kExClientEdge},
        {kSplField, ControlKind::Edit, "90", 205, 101, 25, 13, kEditStyle, kExClientEdge},
        {kCeilingField, ControlKind::Edit, "9", 310, 81, 25, 13, kEditStyle, kExClientEdge},
    },
};

namespace {

// On deactivation remember the focused control; on activation give it the
// focus back (once).
void KeepFocus(const ui::Event& event, int& remembered) {
  if (event.param == 0) {
    remembered = ui::FocusedControl(event.window);
  } else if (remembered != 0) {
    ui::SetFocus(event.window, remembered);
    remembered = 0;
  }
}

// A button press: a click, or (code 1) its keyboard accelerator.
bool IsPress(const ui::Event& event, int button) {
  return event.message == ui::kWmCommand && event.controlId == button && (event.code == 0 || event.code == 1);
}

bool ChildRuns(void* child) { return !platform::HasEnded(*static_cast<platform::ProcessId*>(child)); }

}  // namespace

ui::Window* NoticeWindow() { return noticeWindow; }
ui::Window* ChoiceWindow() { return choiceWindow; }

int RunLauncher() {
  RunNoticeWindow();
  RunChoiceWindow();
  return 0;
}

void BuildNoticeWindow() {
  noticeFocus = 0;
  noticeWindow = ui::CreateDialogWindow(kNoticeWindow, HandleNoticeEvent);
  ui::SetWindowIcon(noticeWindow, kWindowIcon);
  headingFont = ui::CreateBoldFont(kHeadingPoints);
  ui::SetFont(noticeWindow, kHeadingLabel, headingFont);
}

void RunNoticeWindow() {
  BuildNoticeWindow();
  ui::RunModal(noticeWindow);
  DestroyNoticeWindow();
}

void DestroyNoticeWindow() {
  ui::DestroyWindow(noticeWindow);
  noticeWindow = nullptr;
  // The font outlives the window that shows it.
  ui::DeleteFont(headingFont);
  headingFont = nullptr;
}

int HandleNoticeEvent(const ui::Event& event) {
  if (event.message == ui::kWmNcActivate) {
    KeepFocus(event, noticeFocus);
  } else if (IsPress(event, kOkButton)) {
    ui::EndWindow(event.window, 0);
  }
  return 0;
}

void BuildChoiceWindow() {
  choiceFocus = 0;
  choiceWindow = ui::CreateDialogWindow(kChoiceWindow, HandleChoiceEvent);
  ui::SetWindowIcon(choiceWindow, kWindowIcon);
  // The fields are created after the room picture they lie on, so they would
  // sit below it; they must show on top.
  for (int id : kHandoffFields) ui::RaiseControl(choiceWindow, id);
}

void RunChoiceWindow() {
  BuildChoiceWindow();
  ui::RunModal(choiceWindow);
  DestroyChoiceWindow();
}

void DestroyChoiceWindow() {
  ui::DestroyWindow(choiceWindow);
  choiceWindow = nullptr;
}

int HandleChoiceEvent(const ui::Event& event) {
  if (event.message == ui::kWmNcActivate) {
    KeepFocus(event, choiceFocus);
    return 0;
  }
  for (const Calculator& calculator : kCalculators) {
    if (IsPress(event, calculator.button)) StartChild(platform::ExecutableName(calculator.command));
  }
  return 0;
}

handoff::Values ReadFields() {
  handoff::Values values;
  for (int i = 0; i < handoff::kValueCount; ++i) values[i] = ui::GetText(choiceWindow, kHandoffFields[i]);
  return values;
}

void SetFields(const handoff::Values& values) {
  for (int i = 0; i < handoff::kValueCount; ++i) ui::SetText(choiceWindow, kHandoffFields[i], values[i]);
}

void StartChild(const std::string& command) {
  const std::string line = handoff::BuildCommandLine(command, ReadFields());
  // Only a file the calculator writes during this run is taken back: one left
  // from an earlier run, or by another program, must not overwrite the fields.
  const platform::FileStatus before = platform::StatusOf(handoff::kFileName);
  int error = 0;
  platform::ProcessId child = StartProgram(command, handoff::ArgumentsOf(line, command), error);
  if (child == platform::kNoProcess) {
    ui::ShowError(choiceWindow, kErrorTitle, "Cannot start " + command + ": " + std::strerror(error));
    return;
  }
  // No time limit: the user may work in the calculator for hours.
  ui::WaitResponsively(choiceWindow, ChildRuns, &child, platform::EndSignal(child));
  const platform::FileStatus after = platform::StatusOf(handoff::kFileName);
  if (!after.exists || after.SameFileAndContentTime(before)) return;
  handoff::Values values;
  if (handoff::ReadFile(handoff::kFileName, values)) SetFields(values);
}

}  // namespace halvex::launcher
