#include "hxp/calculator.h"

#include <cmath>
#include <optional>
#include <string>

#include "calc/catalogue.h"
#include "calc/result_texts.h"
#include "common/number_text.h"
#include "hxp/calculator_state.h"
#include "hxp/calculator_window.h"
#include "hxp/help_notes.h"
#include "room/room.h"

namespace halvex::hxp {

ui::Window* calculatorWindow = nullptr;

namespace {

ui::Font* distanceFont = nullptr;
ui::Font* markFont = nullptr;
ui::Font* countFont = nullptr;

// True while the ear level field is being set to its corrected value: the
// change that this raises must not correct again. With a ceiling below 1 ft
// the corrected value is negative, reads back through its absolute value as
// not below the ceiling, and would otherwise correct forever.
bool correctingEarLevel = false;

// Set when closing could not write the hand-off file; the program then ends
// with a failure status.
bool handoffSaveFailed = false;
constexpr const char* kSaveErrorTitle = "HXP";

constexpr ui::Color kBlack{0, 0, 0};
constexpr ui::Color kRed{255, 0, 0};
constexpr int kDeviationEntries = 7;
constexpr int kDefaultDeviationEntry = 3;

void SetText(int id, std::string_view text) { ui::SetText(calculatorWindow, id, text); }
void Show(int id, bool visible) { ui::Show(calculatorWindow, id, visible); }

float ReadValue(int id) { return static_cast<float>(ParseNumber(ui::GetText(calculatorWindow, id))); }

// A typed value counts without its sign.
float ReadTypedValue(int id) {
  return static_cast<float>(std::fabs(ParseNumber(ui::GetText(calculatorWindow, id))));
}

void ShowPicture(int pictureId) { room::ShowRoomPicture(calculatorWindow, pictureId); }

void CreateFonts() {
  distanceFont = ui::CreateBoldFont(kDistanceFontPoints);
  markFont = ui::CreateBoldFont(kMarkFontPoints);
  countFont = ui::CreateBoldFont(kCountFontPoints);
  for (int id : kDistanceControls) ui::SetFont(calculatorWindow, id, distanceFont);
  for (int id : kMarkControls) ui::SetFont(calculatorWindow, id, markFont);
  for (int id : kCountControls) ui::SetFont(calculatorWindow, id, countFont);
}

void FillLists() {
  for (const LoudspeakerModel& model : kCatalogueRows) ui::AddListEntry(calculatorWindow, kModelList, model.name);
  ui::SelectListEntry(calculatorWindow, kModelList, 0);
  for (int deviation = 0; deviation < kDeviationEntries; ++deviation) {
    ui::AddListEntry(calculatorWindow, kDeviationList, FormatResult(deviation));
  }
  ui::SelectListEntry(calculatorWindow, kDeviationList, kDefaultDeviationEntry);
}

void ReadStartUpInputs() {
  // Start-up takes the values as they stand: no absolute value, no ear-level check.
  room.earLevel = ReadValue(kEarLevel);
  room.ceilingHeight = ReadValue(kCeilingHeight);
  room.roomWidth = ReadValue(kRoomWidth);
  room.roomLength = ReadValue(kRoomLength);
  room.targetSpl = ReadValue(kTargetSpl);
  room.splDeviation = static_cast<float>(ParseNumber(ui::SelectedEntryText(calculatorWindow, kDeviationList)));
  room.modelIndex = 0;
}

void WriteHandoffFile() {
  if (!room::SaveRoomValues(calculatorWindow, kSaveErrorTitle)) handoffSaveFailed = true;
}

// After the ear level has been stored: keeps it below the ceiling.
void ApplyEarLevelRule() {
  if (room.ceilingHeight > room.earLevel || correctingEarLevel) return;
  room.earLevel = static_cast<float>(static_cast<long double>(room.ceilingHeight) - 1);
  ui::Beep();
  correctingEarLevel = true;
  // Raises the field's change at once; its handling reads the corrected text
  // back and recalculates before this one goes on.
  SetText(kEarLevel, FormatResult(room.earLevel));
  correctingEarLevel = false;
}

// One direction of the diagram: the first loudspeaker's distance always, the
// spacing and the next mark only while more than one stands that way; with
// one, the diagonal mark goes too.
void ShowDiagramAxis(int firstId, int spacingId, int markId, const std::string& first,
                     const std::optional<std::string>& spacing) {
  SetText(firstId, first);
  if (spacing) {
    SetText(spacingId, *spacing);
    Show(markId, true);
    Show(spacingId, true);
  } else {
    Show(kMarkDiagonal, false);
    Show(markId, false);
    Show(spacingId, false);
  }
}

void RecalculateAll() {
  ComputeLayout();
  ShowDiagram();
  ShowModelResults();
  ShowLimitWarning();
}

void RecalculateWithoutWarning() {
  ComputeLayout();
  ShowDiagram();
  ShowModelResults();
}

void HandleCommand(int id, int code) {
  ShowFocusHelp(id, code);  // only focus and click events have help
  const bool changed = code == ui::kEnChange;
  const bool listChosen = code == ui::kCbnSelChange || code == ui::kCbnCloseUp;
  switch (id) {
    case kRoomLength:
    case kRoomWidth:
      if (!changed) return;
      (id == kRoomLength ? room.roomLength : room.roomWidth) = ReadTypedValue(id);
      ComputeLayout();
      ShowDiagram();
      return;
    case kEarLevel:
      if (!changed) return;
      room.earLevel = ReadTypedValue(id);
      ApplyEarLevelRule();
      RecalculateAll();
      return;
    case kCeilingHeight:
      if (!changed) return;
      room.ceilingHeight = ReadTypedValue(id);
      // A ceiling not above the ear level is kept but calculates nothing.
      if (room.earLevel < room.ceilingHeight) RecalculateAll();
      return;
    case kTargetSpl:
      if (!changed) return;
      room.targetSpl = ReadTypedValue(id);
      ComputeLayout();
      ShowModelResults();
      ShowLimitWarning();
      return;
    case kModelList:
      if (!listChosen) return;
      FindModel(ui::SelectedEntryText(calculatorWindow, kModelList));
      RecalculateAll();
      return;
    case kDeviationList:
      // Every notification of the deviation list recalculates; only a
      // choice stores a new deviation.
      if (listChosen) {
        room.splDeviation = static_cast<float>(ParseNumber(ui::SelectedEntryText(calculatorWindow, kDeviationList)));
      }
      RecalculateWithoutWarning();
      return;
    default:
      return;
  }
}

}  // namespace

void StartCalculator(std::string_view argumentText) {
  ResetCalculatorState();
  correctingEarLevel = false;
  handoffSaveFailed = false;

  calculatorWindow = ui::CreateDialogWindow(CalculatorWindowTable(), HandleCalculatorEvent);
  ui::SetWindowIcon(calculatorWindow, ResourceName(kIconCalculator));
  room::LoadRoomPictures(calculatorWindow);
  CreateFonts();
  if (!argumentText.empty()) room::TakeCommandLine(calculatorWindow, argumentText);
  FillLists();
  ShowPicture(kPicturePlain);
  ui::SetColors(calculatorWindow, kPowerWarning, kBlack, kRed);
  Show(kPowerWarning, false);
  ReadStartUpInputs();
  // The values a start brings may already be beyond the model: marked at once.
  RecalculateAll();
}

void FinishCalculator() {
  ui::DestroyWindow(calculatorWindow);
  calculatorWindow = nullptr;
  for (ui::Font** font : {&distanceFont, &markFont, &countFont}) {
    ui::DeleteFont(*font);
    *font = nullptr;
  }
}

int RunCalculator(std::string_view argumentText) {
  StartCalculator(argumentText);
  ui::RunModal(calculatorWindow);
  FinishCalculator();
  return handoffSaveFailed ? 1 : 0;
}

int CalculatorMain(int argc, char** argv) {
  const std::string argumentText = room::ArgumentText(argc, argv);
  ui::Application application(argc, argv);
  return RunCalculator(argumentText);
}

int HandleCalculatorEvent(const ui::Event& event) {
  if (event.message == ui::kWmSysCommand) {
    if ((event.param & ui::kSysCommandMask) == ui::kScClose) WriteHandoffFile();
  } else if (event.message == ui::kWmCommand) {
    HandleCommand(event.controlId, event.code);
  }
  return 0;
}

void ShowDiagram() {
  if (!layoutComputed) {
    // Nothing has been calculated yet (the ceiling was never above the ear
    // level): show no figures rather than placeholders or zeros.
    for (int id : {kFirstX, kFirstY, kTotalCount, kNominalSpacing}) SetText(id, "");
    for (int id : {kMarkAlongX, kMarkAlongY, kMarkDiagonal, kSpacingX, kSpacingY}) Show(id, false);
    return;
  }
  const DiagramTexts texts = FormatDiagram(layout);
  ShowDiagramAxis(kFirstX, kSpacingX, kMarkAlongX, texts.firstX, texts.spacingX);
  ShowDiagramAxis(kFirstY, kSpacingY, kMarkAlongY, texts.firstY, texts.spacingY);
  if (texts.spacingX && texts.spacingY) Show(kMarkDiagonal, true);
  SetText(kTotalCount, texts.totalCount);
  SetText(kNominalSpacing, texts.nominalSpacing);
}

void ShowModelResults() {
  const ModelTexts texts = FormatModelResults(layout, ModelRow(room.modelIndex));
  SetText(kSensitivity, texts.sensitivity);
  SetText(kPowerRequired, layoutComputed ? texts.powerRequired : "");
  SetText(kMaxPower, texts.maxPower);
  SetText(kTap, layoutComputed ? texts.tap : "");
}

void ShowLimitWarning() {
  const LoudspeakerModel& model = ModelRow(room.modelIndex);
  const bool powerExceeded = layoutComputed && PowerExceeded(layout, model);
  const bool tapExceeded = layoutComputed && TapExceeded(layout, model);
  auto background = [](bool marked) { return marked ? std::optional<ui::Color>(kRed) : std::nullopt; };
  ui::SetColors(calculatorWindow, kPowerRequired, kBlack, background(powerExceeded));
  ui::SetColors(calculatorWindow, kTap, kBlack, background(tapExceeded));
  // One repaint of the window shows both colours; it is coalesced, not drawn twice.
  ui::RedrawWindow(calculatorWindow);
  Show(kPowerWarning, powerExceeded || tapExceeded);
}

void ShowFocusHelp(int controlId, int notification) {
  const FocusHelp* help = FindFocusHelp(controlId, notification);
  if (help == nullptr) return;
  if (help->picture != 0) ShowPicture(help->picture);
  SetText(kHelpNotes, help->note);
}

}  // namespace halvex::hxp
