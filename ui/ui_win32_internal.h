// What the Win32 window layer and its test support share; nothing outside
// ui/ includes this.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui.h"

namespace halvex::ui {

struct Control {
  ControlKind kind = ControlKind::Label;
  std::uint32_t style = 0;
  HWND hwnd = nullptr;
  std::string text;  // as set, carriage returns included
  Color textColor{0, 0, 0};
  bool colored = false;      // SetColors was called
  std::optional<Color> background;
  HBRUSH brush = nullptr;    // the background's, while it has one
  HBITMAP bitmap = nullptr;  // the picture it shows, owned here
  HFONT font = nullptr;      // the bold font given it, if any
};

struct Window {
  HWND hwnd = nullptr;
  EventHandler handler = nullptr;
  std::map<int, Control> controls;
  std::vector<int> order;   // creation order
  bool delivering = false;  // events reach the handler only once the window is shown
  int settingText = 0;      // > 0 while the layer itself changes a control
  bool waiting = false;     // a child program runs: input and close are ignored
  bool ended = false;
  int result = 0;
  HICON bigIcon = nullptr, smallIcon = nullptr;
};

void Deliver(Window* window, unsigned message, int id, int code, std::uintptr_t param);
Control* Find(Window* window, int id);
int BeepCount();
// The window a top-level handle belongs to, if it is one of ours.
Window* WindowOf(HWND hwnd);
// A list's edit part (null for a control that has none).
HWND ListEditOf(HWND combo);

// The modal loop hands thread messages (no window) to this, for the tests'
// actions run from the loop.
extern void (*threadMessageHook)(const MSG& message);
// Every window of ours that is shown and running, innermost last.
extern std::vector<Window*> modalWindows;

}  // namespace halvex::ui
