// Drives windows of the window layer the way a user does, for tests: key
// events into a control, focus, clicks, the window system's close request;
// and reads back what is on screen.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"

namespace halvex::ui::testing {

enum class Key { Tab, BackTab, Backspace, Delete, Enter, Escape, Down, Up, End, Home, SelectAll, Undo, F4 };

void Type(Window* window, int id, std::string_view text);
void Press(Window* window, int id, Key key);
// A letter with Alt held down; returns once a button it names has been clicked.
void TypeWithAlt(Window* window, int id, char letter);
void Focus(Window* window, int id);  // as a click into the control gives it
void Click(Window* window, int id);
// Chooses a list entry as a user does: the selection changes, then the list closes.
void Choose(Window* window, int id, int index);
void RequestClose(Window* window);
void ProcessEvents();
// Runs `action` from the event loop, once it is running (for modal windows).
void RunSoon(std::function<void()> action);
// Which window currently runs modally, if any.
Window* ActiveModalWindow();

bool IsOnScreen(Window* window, int id);
Rect Geometry(Window* window, int id);  // pixels, relative to the client area
// Where the window system puts a rectangle of dialog units in this window,
// in pixels: what a control of that rectangle's geometry must be.
Rect DialogRect(Window* window, const Rect& units);
Rect ClientSize(Window* window);
int FontPixelSize(Window* window, int id);
bool FontBold(Window* window, int id);
std::string ShownText(Window* window, int id);  // as displayed, line breaks as "\n"
std::optional<Color> Background(Window* window, int id);
Color TextColor(Window* window, int id);
bool HasPicture(Window* window, int id);
Rect PictureSize(Window* window, int id);
bool IsWordWrapped(Window* window, int id);
int ListCount(Window* window, int id);
// The shapes a drawing control shows.
std::vector<Shape> DrawingOf(Window* window, int id);
std::string ListEntry(Window* window, int id, int index);
// Whether a list's drop-down part is open.
bool IsListOpen(Window* window, int id);
// Whether a list's edit part shows its text from the first letter, not
// scrolled to the left.
bool ShowsFromFirstLetter(Window* window, int id);
std::string WindowTitle(Window* window);
bool HasCloseButton(Window* window);
// Ids in the order Tab moves through them, from the first focusable control.
std::vector<int> TabOrder(Window* window);
// The id of the topmost control at a point of the client area (0 for none).
int ControlAt(Window* window, int x, int y);
int Beeps();
// From now on appends every text set on a control of any window to the file
// at `path`, a line "id<TAB>text" each: how a test of a whole program run
// under a display sees what its windows show.
void TraceTextsTo(const std::string& path);
// The colour on screen at a point of the client area, as last painted.
Color ScreenPixel(Window* window, int x, int y);

// A picture's pixels, row by row from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<Color> pixels;
  const Color& At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
// What an area of the client area shows on screen, as last painted.
Picture ScreenArea(Window* window, const Rect& area);
// A picture file read without the window layer, to compare the screen
// with: a PNG with the toolkit, a 24-bit BMP on Windows.
Picture ReadPictureFile(const std::string& path);
// How far what an area shows is from a picture, channel by channel (the
// picture resampled to the area's size, each pixel the average of what it
// covers, where the sizes differ): the mean and the largest difference over
// the pixels that no rectangle of `covered` (client coordinates) holds.
struct PictureDifference {
  double mean = 0;
  int largest = 0;
  int compared = 0;  // pixels
};
PictureDifference CompareWithPicture(Window* window, const Rect& area, const Picture& picture,
                                     const std::vector<Rect>& covered = {});

// The id of the topmost control drawn at a point of the client area, whether
// or not it takes clicks (0 for none): what the user sees there.
int VisibleControlAt(Window* window, int x, int y);
// Makes the window the active one, as a click on its caption does; the focus
// inside it is left to the window and its handler.
void Activate(Window* window);

// From now on every message box is answered with its button as soon as it
// shows, as a user would; its title and text are kept until taken, as UTF-8.
struct MessageBoxText {
  std::string title, text;
};
void AnswerMessageBoxes();
std::vector<MessageBoxText> TakeAnsweredMessageBoxes();

// Whether a label shows all of its visible text: laid out in its font at its
// width (wrapped if it wraps), the text up to its last non-blank character
// fits its height (false for a control that is not a label).
bool ShowsWholeText(Window* window, int id);
// The lines a label's text takes at its width, wrapped as the label wraps it.
int ShownLines(Window* window, int id);

}  // namespace halvex::ui::testing
