// What the Win32 window layer and its test support share; nothing outside
// ui/ includes this.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/ui.h"
#include "ui/window_state.h"

namespace halvex::ui {

struct Control : ControlState {
  HWND hwnd = nullptr;
  bool colored = false;      // SetColors was called
  HBRUSH brush = nullptr;    // the background's, while it has one
  HBITMAP bitmap = nullptr;  // the picture it shows, owned here
  SIZE pictureSize{0, 0};    // the picture's own size, before it was stretched to the control
  std::string pendingPicture;  // a picture's resource name, until the control first paints
  HFONT font = nullptr;      // the bold font given it, if any
  int unitsWide = 0;         // a drawing's width in drawing units
};

struct Window : WindowState<Control> {
  HWND hwnd = nullptr;
  bool ended = false;
  int result = 0;
  HICON bigIcon = nullptr, smallIcon = nullptr;
};

// Reads and shows a picture control's pending picture now; one that cannot
// be read leaves the control empty.
void DecodePicture(Control* control);
// The window a top-level handle belongs to, if it is one of ours.
Window* WindowOf(HWND hwnd);
// A list's edit part (null for a control that has none).
HWND ListEditOf(HWND combo);
// The header of a 24-bit bitmap whose rows run from the top.
BITMAPINFO TopDown24BitInfo(int width, int height);

// The modal loop hands thread messages (no window) to this, for the tests'
// actions run from the loop.
extern void (*threadMessageHook)(const MSG& message);
// Every window of ours that is shown and running, innermost last.
extern std::vector<Window*> modalWindows;

}  // namespace halvex::ui
