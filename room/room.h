// What both calculator windows share: the room picture with the five room
// fields laid over it in the same places, so that a user who knows one
// calculator knows where to type in the other; the values' way in from the
// command line, and out to hx.tmp when the window closes.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "handoff/handoff.h"
#include "room/resource_ids.h"
#include "ui/ui.h"

namespace halvex::room {

enum ControlId : int {
  kRoomLength = 119,
  kRoomWidth = 120,
  kEarLevel = 121,
  kCeilingHeight = 122,
  kTargetSpl = 123,
  kRoomGroup = 127,
  kPictureCeiling = 157,
  kPictureEarLevel = 158,
  kPictureLength = 159,
  kPictureWidth = 160,
  kPictureSpl = 161,
  kPicturePlain = 162,
};

enum Resource : int {
  kBitmapCeiling = ROOM_PICTURE_CEILING,
  kBitmapEarLevel = ROOM_PICTURE_EAR_LEVEL,
  kBitmapLength = ROOM_PICTURE_LENGTH,
  kBitmapWidth = ROOM_PICTURE_WIDTH,
  kBitmapSpl = ROOM_PICTURE_SPL,
  kBitmapPlain = ROOM_PICTURE_PLAIN,
};

struct PictureControl {
  int id;
  int resource;
};

// The six room pictures, stacked in one place; exactly one shows at a time.
inline constexpr PictureControl kRoomPictures[] = {
    {kPictureLength, kBitmapLength},     {kPicturePlain, kBitmapPlain}, {kPictureSpl, kBitmapSpl},
    {kPictureEarLevel, kBitmapEarLevel}, {kPictureWidth, kBitmapWidth}, {kPictureCeiling, kBitmapCeiling},
};

// The calculators' window: both look and behave alike.
inline constexpr std::uint32_t kCalculatorWindowStyle =
    ui::style::kPopup | ui::style::kClipSiblings | ui::style::kCaption | ui::style::kSysMenu |
    ui::style::kMinimizeBox | ui::style::kDsCenter | ui::style::kDsModalFrame | ui::style::kDsSetFont |
    ui::style::kDsNoFailCreate | ui::style::kDs3dLook;
inline constexpr std::uint32_t kCalculatorWindowExStyle = ui::style::kExControlParent | ui::style::kExWindowEdge;

// The five fields, each beside the dimension it sets in the picture.
inline constexpr std::uint32_t kInputField = ui::style::kTabStop | ui::style::kEsAutoHScroll | ui::style::kEsLeft;
inline constexpr std::uint32_t kInputFieldEx = ui::style::kExClientEdge | ui::style::kExTransparent;
inline constexpr ui::ControlRow kRoomLengthRow{kRoomLength, ui::ControlKind::Edit, "20", 118, 133, 27, 15, kInputField, kInputFieldEx};
inline constexpr ui::ControlRow kRoomWidthRow{kRoomWidth, ui::ControlKind::Edit, "15", 246, 138, 27, 15, kInputField, kInputFieldEx};
inline constexpr ui::ControlRow kEarLevelRow{kEarLevel, ui::ControlKind::Edit, "5", 107, 89, 28, 15, kInputField, kInputFieldEx};
inline constexpr ui::ControlRow kTargetSplRow{kTargetSpl, ui::ControlKind::Edit, "90", 184, 77, 27, 15, kInputField, kInputFieldEx};
inline constexpr ui::ControlRow kCeilingHeightRow{kCeilingHeight, ui::ControlKind::Edit, "9", 273, 30, 27, 15, kInputField, kInputFieldEx};
// A room picture, in the one place they all take.
constexpr ui::ControlRow PictureRow(int id) { return {id, ui::ControlKind::Picture, "", 16, 10, 310, 144, ui::style::kSsBitmap, 0}; }
inline constexpr ui::ControlRow kRoomGroupRow{kRoomGroup, ui::ControlKind::Group, "Room", 11, 0, 380, 160, ui::style::kBsGroupBox, 0};

// The field of each hand-off value.
inline constexpr std::array<int, handoff::kValueCount> kHandoffFields = [] {
  std::array<int, handoff::kValueCount> fields{};
  fields[handoff::kCeilingValue] = kCeilingHeight;
  fields[handoff::kEarLevelValue] = kEarLevel;
  fields[handoff::kLengthValue] = kRoomLength;
  fields[handoff::kWidthValue] = kRoomWidth;
  fields[handoff::kSplValue] = kTargetSpl;
  return fields;
}();

// "#" and the bare number: "#115".
std::string ResourceName(int resource);

// Gives each picture control its room picture.
void LoadRoomPictures(ui::Window* window);
// Shows one room picture and hides the other five.
void ShowRoomPicture(ui::Window* window, int pictureId);

// Sets the fields from the command line's argument text ("12,4,30,25,95"),
// in hand-off order; further values are ignored, missing ones keep their
// field's text.
void TakeCommandLine(ui::Window* window, std::string_view argumentText);

// Writes the five fields to hx.tmp in the current directory. When that fails
// the user is told why in a message box titled `program`, over the window,
// and the result is false.
bool SaveRoomValues(ui::Window* window, std::string_view program);

// The argument text of the program's command line (platform::CommandLine):
// what follows the program name and the blanks after it.
std::string ArgumentText(int argc, char** argv);

}  // namespace halvex::room
