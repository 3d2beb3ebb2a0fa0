#include "hxc/cone_calculator.h"

#include <cmath>
#include <string>

#include "common/number_text.h"
#include "hxc/cone_window.h"
#include "hxc/help_notes.h"
#include "hxc/plan.h"
#include "room/room.h"

namespace halvex::hxc {

ui::Window* coneWindow = nullptr;
cone::ConeInputs inputs;
cone::ConeStatus status = cone::ConeStatus::kCeilingNotAboveEarLevel;
cone::ConeLayout layout;
CoverageMap levels;

namespace {

constexpr const char* kProgram = "HXC";
constexpr ui::Color kBlack{0, 0, 0};
constexpr ui::Color kRed{255, 0, 0};
constexpr const char* kTapWarning = "Power required is over the highest tap";
constexpr int kDefaultPattern = static_cast<int>(cone::Pattern::kMinimumOverlap);
constexpr int kDefaultGrid = static_cast<int>(cone::Grid::kSquare);

// Set when closing could not write the hand-off file; the program then ends
// with a failure status.
bool handoffSaveFailed = false;

void SetText(int id, const std::string& text) { ui::SetText(coneWindow, id, text); }

// Numbers as the window shows them inside a text: "6.7", ".5", "1E+7".
std::string Bare(double value) { return FormatNumber(value, 7, false); }
std::string Tenth(double value) { return Bare(cone::RoundedTenth(value)); }
std::string Feet(double value) { return Tenth(value) + " ft"; }

// A typed value counts without its sign.
float ReadTypedValue(int id) { return static_cast<float>(std::fabs(ParseNumber(ui::GetText(coneWindow, id)))); }

int SelectedIndex(int id, const char* const* entries, int count, int fallback) {
  const std::string text = ui::SelectedEntryText(coneWindow, id);
  for (int i = 0; i < count; ++i) {
    if (text == entries[i]) return i;
  }
  return fallback;
}

void FillLists() {
  for (const cone::ConeModel& model : cone::kConeModels) ui::AddListEntry(coneWindow, kModelList, model.name);
  ui::SelectListEntry(coneWindow, kModelList, 0);
  for (const char* entry : kPatternEntries) ui::AddListEntry(coneWindow, kPatternList, entry);
  ui::SelectListEntry(coneWindow, kPatternList, kDefaultPattern);
  for (const char* entry : kGridEntries) ui::AddListEntry(coneWindow, kGridList, entry);
  ui::SelectListEntry(coneWindow, kGridList, kDefaultGrid);
  for (int headroom : cone::kHeadrooms) ui::AddListEntry(coneWindow, kHeadroomList, FormatNumber(headroom, 7, true));
  ui::SelectListEntry(coneWindow, kHeadroomList, 0);
}

void ReadInputs() {
  inputs.ceilingHeight = ReadTypedValue(kCeilingHeight);
  inputs.earLevel = ReadTypedValue(kEarLevel);
  inputs.roomLength = ReadTypedValue(kRoomLength);
  inputs.roomWidth = ReadTypedValue(kRoomWidth);
  inputs.targetSpl = ReadTypedValue(kTargetSpl);
}

void ReadLists() {
  const int model = cone::FindConeModel(ui::SelectedEntryText(coneWindow, kModelList));
  if (model >= 0) inputs.modelIndex = model;
  inputs.pattern = static_cast<cone::Pattern>(
      SelectedIndex(kPatternList, kPatternEntries, std::size(kPatternEntries), static_cast<int>(inputs.pattern)));
  inputs.grid = static_cast<cone::Grid>(
      SelectedIndex(kGridList, kGridEntries, std::size(kGridEntries), static_cast<int>(inputs.grid)));
  const std::string headroom = ui::SelectedEntryText(coneWindow, kHeadroomList);
  for (int h : cone::kHeadrooms) {
    if (headroom == FormatNumber(h, 7, true)) inputs.headroom = h;
  }
}

void ShowModel() {
  const cone::ConeModel& model = cone::ConeModelRow(inputs.modelIndex);
  SetText(kCoverageAngle, Bare(model.coverageAngle) + " degrees (" + std::string(model.driver) + ")");
  SetText(kSensitivity, Bare(model.sensitivity) + " dB, 1 W at 1 m");
  std::string taps;
  for (int i = 0; i < model.tapCount; ++i) taps += Bare(model.taps[static_cast<std::size_t>(i)]) + " ";
  SetText(kTaps, taps + "W at 70 V");
}

std::string LevelText() {
  const CoverageSummary& c = levels.summary;
  if (!c.computed) return "not computed: " + c.reason;
  const double low = std::round(c.min * 10) / 10, high = std::round(c.max * 10) / 10;
  return Bare(low) + " to " + Bare(high) + " dB, spread " + Bare(high - low) + " dB";
}

void ShowResults() {
  if (status != cone::ConeStatus::kPlanned) {
    for (int id : kResultControls) SetText(id, "");
    return;
  }
  SetText(kCount, Bare(layout.countX) + " x " + Bare(layout.rows) + " rows = " + Bare(layout.total));
  SetText(kSpacing, Tenth(layout.spacingX) + " x " + Feet(layout.spacingY));
  SetText(kFirst, Tenth(layout.spacingX / 2) + " x " + Feet(layout.spacingY / 2));
  SetText(kRadius, Feet(layout.radius));
  SetText(kNominalSpacing, Feet(layout.spacing));
  SetText(kPower, Bare(layout.powerShown) + " W");
  SetText(kTap, Bare(layout.tap) + " W");
  SetText(kLoad, Bare(layout.load) + " W");
  SetText(kAmplifier, Bare(layout.amplifier) + " W");
  SetText(kLevel, LevelText());
}

// The warning line says why nothing is calculated, or that the tap is over
// the highest; the tap is marked red with it.
void ShowWarning() {
  const bool planned = status == cone::ConeStatus::kPlanned;
  const bool tapOver = planned && layout.tapExceeded;
  SetText(kWarning, planned ? kTapWarning : cone::ConeStatusText(status));
  ui::Show(coneWindow, kWarning, !planned || tapOver);
  ui::SetColors(coneWindow, kTap, kBlack, tapOver ? std::optional<ui::Color>(kRed) : std::nullopt);
  ui::RedrawWindow(coneWindow);
}

void ShowPlan() {
  const ui::WindowTable& table = ConeWindowTable();
  for (const ui::ControlRow& row : table.controls) {
    if (row.id != kPlan) continue;
    const bool planned = status == cone::ConeStatus::kPlanned;
    ui::SetDrawing(coneWindow, kPlan,
                   PlanShapes(inputs, planned ? &layout : nullptr, row.w, row.h * ui::kDrawingUnitsPerVerticalUnit,
                              planned ? "" : cone::ConeStatusText(status)));
  }
}

void ShowFocusHelp(int controlId, int notification) {
  const FocusHelp* help = FindFocusHelp(controlId, notification);
  if (help == nullptr) return;
  room::ShowRoomPicture(coneWindow, help->picture);
  SetText(kHelpNotes, std::string(help->note));
}

void HandleCommand(int id, int code) {
  ShowFocusHelp(id, code);  // only focus events have help
  switch (id) {
    case kCeilingHeight:
    case kEarLevel:
    case kRoomLength:
    case kRoomWidth:
    case kTargetSpl:
      if (code != ui::kEnChange) return;
      ReadInputs();
      Recalculate();
      return;
    case kModelList:
    case kPatternList:
    case kGridList:
    case kHeadroomList:
      if (code != ui::kCbnSelChange && code != ui::kCbnCloseUp) return;
      ReadLists();
      ShowModel();
      Recalculate();
      return;
    default:
      return;
  }
}

}  // namespace

void Recalculate() {
  cone::ConeLayout computed;
  status = cone::ComputeConeLayout(inputs, computed);
  if (status == cone::ConeStatus::kPlanned) {
    layout = computed;
    levels = cone::ComputeConeCoverage(inputs, layout, kLevelDeviation);
  } else {
    layout = cone::ConeLayout{};
    levels = CoverageMap{};
  }
  ShowResults();
  ShowWarning();
  ShowPlan();
}

void StartConeCalculator(std::string_view argumentText) {
  inputs = cone::ConeInputs{};
  handoffSaveFailed = false;
  coneWindow = ui::CreateDialogWindow(ConeWindowTable(), HandleConeEvent);
  ui::SetWindowIcon(coneWindow, room::ResourceName(kIconCalculator));
  room::LoadRoomPictures(coneWindow);
  if (!argumentText.empty()) room::TakeCommandLine(coneWindow, argumentText);
  FillLists();
  room::ShowRoomPicture(coneWindow, room::kPicturePlain);
  ui::SetColors(coneWindow, kWarning, kBlack, kRed);
  ReadInputs();
  ReadLists();
  ShowModel();
  Recalculate();
}

void FinishConeCalculator() {
  ui::DestroyWindow(coneWindow);
  coneWindow = nullptr;
}

int RunConeCalculator(std::string_view argumentText) {
  StartConeCalculator(argumentText);
  ui::RunModal(coneWindow);
  FinishConeCalculator();
  return handoffSaveFailed ? 1 : 0;
}

int ConeCalculatorMain(int argc, char** argv) {
  const std::string argumentText = room::ArgumentText(argc, argv);
  ui::Application application(argc, argv);
  return RunConeCalculator(argumentText);
}

int HandleConeEvent(const ui::Event& event) {
  if (event.message == ui::kWmSysCommand) {
    if ((event.param & ui::kSysCommandMask) == ui::kScClose && !room::SaveRoomValues(coneWindow, kProgram)) {
      handoffSaveFailed = true;
    }
  } else if (event.message == ui::kWmCommand) {
    HandleCommand(event.controlId, event.code);
  }
  return 0;
}

}  // namespace halvex::hxc
