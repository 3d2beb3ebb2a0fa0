// Our thin window layer. Windows are described as data (a title, a size in
// dialog units and a table of controls), controls are reached by their ids,
// and every event reaches one handler function as (message, control id,
// notification code, parameter) with the window system's own numbers. Nothing
// outside this folder includes a toolkit header, so the toolkit behind it can
// be swapped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace halvex::ui {

// Messages and notification codes.
inline constexpr unsigned kWmNcActivate = 134;
inline constexpr unsigned kWmCommand = 273;
inline constexpr unsigned kWmSysCommand = 274;
inline constexpr std::uintptr_t kScClose = 0xF060;  // compare after masking with 0xFFF0
inline constexpr std::uintptr_t kSysCommandMask = 0xFFF0;

inline constexpr int kBnClicked = 0;
inline constexpr int kStnClicked = 0;
inline constexpr int kCbnSelChange = 1;
inline constexpr int kCbnSetFocus = 3;
inline constexpr int kCbnDropDown = 7;
inline constexpr int kCbnCloseUp = 8;
inline constexpr int kEnSetFocus = 0x100;
inline constexpr int kEnChange = 0x300;

// Window and control styles, with the window system's bit values.
namespace style {
inline constexpr std::uint32_t kPopup = 0x80000000;
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kClipSiblings = 0x04000000;
inline constexpr std::uint32_t kCaption = 0x00C00000;
inline constexpr std::uint32_t kVScroll = 0x00200000;
inline constexpr std::uint32_t kSysMenu = 0x00080000;
inline constexpr std::uint32_t kMinimizeBox = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;
inline constexpr std::uint32_t kDsSetFont = 0x40;
inline constexpr std::uint32_t kDsModalFrame = 0x80;
inline constexpr std::uint32_t kDsCenter = 0x800;
inline constexpr std::uint32_t kDs3dLook = 0x4;
inline constexpr std::uint32_t kDsNoFailCreate = 0x10;

inline constexpr std::uint32_t kEsLeft = 0x0;
inline constexpr std::uint32_t kEsAutoHScroll = 0x80;
inline constexpr std::uint32_t kSsLeft = 0x0;
inline constexpr std::uint32_t kSsCenter = 0x1;
inline constexpr std::uint32_t kSsBitmap = 0xE;
inline constexpr std::uint32_t kSsEtchedFrame = 0x12;
inline constexpr std::uint32_t kSsRealSizeControl = 0x40;  // stretch the picture to the control
inline constexpr std::uint32_t kSsNotify = 0x100;
inline constexpr std::uint32_t kCbsDropDown = 0x2;
inline constexpr std::uint32_t kCbsSort = 0x100;
inline constexpr std::uint32_t kBsPushButton = 0x0;
inline constexpr std::uint32_t kBsGroupBox = 0x7;
inline constexpr std::uint32_t kBsLeft = 0x100;

inline constexpr std::uint32_t kExTransparent = 0x20;
inline constexpr std::uint32_t kExWindowEdge = 0x100;
inline constexpr std::uint32_t kExClientEdge = 0x200;
inline constexpr std::uint32_t kExControlParent = 0x10000;
}  // namespace style

struct Color {
  std::uint8_t red, green, blue;
  bool operator==(const Color& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

enum class ControlKind { Edit, Combo, Label, Picture, Group, Line, Button, Drawing };

// One row of a window's control table: a control in dialog units. For a picture the text is the
// resource name of its bitmap ("#115"), or empty for none. For a combo the
// height is that of its open drop-down list.
struct ControlRow {
  int id;
  ControlKind kind;
  const char* text;
  int x, y, w, h;
  std::uint32_t style;
  std::uint32_t exStyle;
};

// A drawing control shows the shapes its program gives it (SetDrawing). Their
// unit is a horizontal dialog unit on both axes, so that a circle stays
// round: a control h dialog units high is h * kDrawingUnitsPerVerticalUnit
// drawing units high (base units of 6 x 13 pixels: 1.5 and 1.625 pixels).
inline constexpr double kDrawingUnitsPerVerticalUnit = 13.0 / 12.0;

struct Shape {
  enum class Kind { Line, Rectangle, Ellipse, Text };
  Kind kind = Kind::Line;
  double x = 0, y = 0, w = 0, h = 0;  // a line runs from (x, y) to (x + w, y + h); text is centred in the box
  Color color{0, 0, 0};               // the line, outline or text
  std::optional<Color> fill;          // inside a rectangle or ellipse
  std::string text;
};

// A label two lines of the dialog font high or more breaks its text into
// lines; a lower one keeps it on one line (with a stand-in font a caption
// can be a pixel wider than its box, and a second line would fall outside).
inline bool IsMultiLineLabel(const ControlRow& row) { return row.kind == ControlKind::Label && row.h >= 16; }

// A window as data: its title, client size and style, and its control table.
struct WindowTable {
  const char* title;
  int width, height;  // client area, dialog units
  std::uint32_t style;
  std::uint32_t exStyle;
  std::vector<ControlRow> controls;  // creation order: tab order, first on top
};

struct Rect {
  int x, y, w, h;
  bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

// Dialog units to pixels at a logical resolution: the base units are those of
// an 8-point "MS Sans Serif" dialog font, 6 x 13 pixels at 96 dpi, scaled with
// the resolution. Each edge is mapped on its own and rounded, as the window
// system maps a dialog rectangle, so adjoining controls stay adjoining:
//   96 dpi:  (16, 10, 310, 144) -> (24, 16, 465, 234)
//   120 dpi: (16, 10, 310, 144) -> (30, 20, 581, 293)
Rect DialogToPixels(const Rect& units, int dpi);

// Pixel height of a font of `points` at `dpi`, truncated: 8 pt at 96 dpi is 10.
int FontPixelHeight(int points, int dpi);


// Owns the toolkit's application object; one per program, before any window.
class Application {
 public:
  Application(int& argc, char** argv);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;
};

// The logical resolution of the screen, dots per inch.
int ScreenDpi();

struct Window;
struct Font;

struct Event {
  Window* window;
  unsigned message;
  int controlId;
  int code;
  std::uintptr_t param;  // the whole first parameter
};

// Called for every event once the window is shown; the result is ignored and
// the default handling follows (the close command then ends the window).
using EventHandler = int (*)(const Event& event);

// Builds the window hidden, with every control of the table and its text; a
// picture loads its bitmap by resource name, and a bitmap that cannot be loaded
// leaves the control empty.
Window* CreateDialogWindow(const WindowTable& table, EventHandler handler);
void DestroyWindow(Window* window);

// Shows the window and handles its events until it is ended; returns the
// result it was ended with. The close command ends it with 0; Esc and Enter
// never end it.
int RunModal(Window* window);
void EndWindow(Window* window, int result);

// Shows the window without waiting, delivering events from then on (tests).
void ShowWindow(Window* window);

void SetWindowIcon(Window* window, std::string_view resourceName);

void SetText(Window* window, int id, std::string_view text);
std::string GetText(Window* window, int id);

// Show or hide a control; before the window is shown the state is kept and
// applied when it shows.
void Show(Window* window, int id, bool visible);
bool IsShown(Window* window, int id);

// A bold sans-serif font of `points` at the screen's resolution.
Font* CreateBoldFont(int points);
void DeleteFont(Font* font);
void SetFont(Window* window, int id, Font* font);

void AddListEntry(Window* window, int id, std::string_view text);
void SelectListEntry(Window* window, int id, int index);
// The text of the selected entry, empty when none is selected.
std::string SelectedEntryText(Window* window, int id);

// Text colour and background of a static control; no background means the
// window shows through.
void SetColors(Window* window, int id, Color text, std::optional<Color> background);
// Shows the colours set since the last redraw; every other change shows
// without it.
void RedrawWindow(Window* window);

void Beep();

// Loads a picture into a picture control; false (and the control emptied)
// when the resource cannot be loaded.
bool LoadPicture(Window* window, int id, std::string_view resourceName);

// The control that has the keyboard focus (0 for none), and giving it.
int FocusedControl(Window* window);
void SetFocus(Window* window, int id);

// Lets the window paint and be closed while its input is ignored, for as long
// as `keepWaiting` says so; used while a child program runs. Returns when it
// says no more. `wakeUpOn`, where the window system has one (a process
// handle on Windows), is signalled when it may say so; without one it is
// asked every few milliseconds.
void WaitResponsively(Window* window, bool (*keepWaiting)(void* context), void* context,
                      void* wakeUpOn = nullptr);

// Shows a message box with an error, over the window. The message is UTF-8,
// as paths and the system's words are; a long path in it wraps.
void ShowError(Window* window, std::string_view title, std::string_view message);

// Replaces what a drawing control shows; it is repainted with the next paint.
void SetDrawing(Window* window, int id, std::vector<Shape> shapes);

// Puts a control above every other control of its window where they overlap,
// as moving it to the top of the window system's sibling order does (an edit
// field laid over a picture that was created before it).
void RaiseControl(Window* window, int id);

}  // namespace halvex::ui
