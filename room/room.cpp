#include "room/room.h"

#include <cctype>
#include <vector>

#include "common/number_text.h"
#include "platform/platform.h"

namespace halvex::room {

namespace {

// A message about the hand-off file names it in full, so that it says where
// the file is; the file itself is reached by its plain name, which no
// folder's name or length can spoil.
std::string ShownInFull(std::string message) {
  const std::string folder = platform::CurrentDirectory();
  const std::size_t name = message.find(handoff::kFileName);
  if (!folder.empty() && name != std::string::npos) {
    message.replace(name, std::string_view(handoff::kFileName).size(), platform::JoinPath(folder, handoff::kFileName));
  }
  return message;
}

}  // namespace

std::string ResourceName(int resource) { return "#" + FormatNumber(resource, 7, false); }

void LoadRoomPictures(ui::Window* window) {
  for (const PictureControl& picture : kRoomPictures) ui::LoadPicture(window, picture.id, ResourceName(picture.resource));
}

void ShowRoomPicture(ui::Window* window, int pictureId) {
  for (const PictureControl& picture : kRoomPictures) ui::Show(window, picture.id, picture.id == pictureId);
}

void TakeCommandLine(ui::Window* window, std::string_view argumentText) {
  const std::vector<std::string> fields = handoff::SplitArguments(argumentText);
  for (std::size_t i = 0; i < fields.size() && i < handoff::kValueCount; ++i) {
    ui::SetText(window, kHandoffFields[i], fields[i]);
  }
}

// A failed save is told before the window closes: started from the desktop,
// a calculator has nobody reading its error output.
bool SaveRoomValues(ui::Window* window, std::string_view program) {
  handoff::Values values;
  for (int i = 0; i < handoff::kValueCount; ++i) values[i] = ui::GetText(window, kHandoffFields[i]);
  std::string error;
  if (handoff::WriteFile(handoff::kFileName, values, error)) return true;
  error = ShownInFull(error);
  if (!error.empty()) error[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(error[0])));
  ui::ShowError(window, program, "The room values were not saved.\n\n" + error);
  return false;
}

std::string ArgumentText(int argc, char** argv) {
  return std::string(handoff::ArgumentText(platform::CommandLine(argc, argv)));
}

}  // namespace halvex::room
