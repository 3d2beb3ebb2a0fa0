// What the window layer's backends share: the state of a window and its
// controls apart from the toolkit's handles, how an event reaches the
// handler, and the test support's hook on the texts set. Nothing outside ui/
// includes this.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/ui.h"

namespace halvex::ui {

struct ControlState {
  ControlKind kind = ControlKind::Label;
  std::uint32_t style = 0;
  std::string text;  // as set, carriage returns included
  Color textColor{0, 0, 0};
  std::optional<Color> background;
  std::vector<Shape> shapes;  // a drawing's
};

// A backend's Window derives from this with its own Control (a ControlState
// with the toolkit's handle).
template <class Control>
struct WindowState {
  EventHandler handler = nullptr;
  std::map<int, Control> controls;
  std::vector<int> order;   // creation order
  bool delivering = false;  // events reach the handler only once the window is shown
  int settingText = 0;      // > 0 while the layer itself changes a control
  bool waiting = false;     // a child program runs: input and close are ignored
};

// Hands an event to the window's handler, unless the window is not yet shown
// or waits for a child program. A command's parameter is built from its
// control id and code, as the window system packs them.
template <class AnyWindow>
void Deliver(AnyWindow* window, unsigned message, int id, int code, std::uintptr_t param) {
  if (!window->delivering || window->handler == nullptr || window->waiting) return;
  if (message == kWmCommand) {
    param = (static_cast<std::uintptr_t>(code & 0xFFFF) << 16) | static_cast<std::uintptr_t>(id & 0xFFFF);
  }
  window->handler(Event{window, message, id, code, param});
}

template <class AnyWindow>
auto* Find(AnyWindow* window, int id) {
  const auto found = window->controls.find(id);
  return found == window->controls.end() ? nullptr : &found->second;
}

// Whether a label's text names a mnemonic: an "&" before a letter ("&Model";
// "&&" is an ampersand shown). Alt with the letter moves the focus to the
// next control after the label that takes it.
inline bool HasMnemonic(std::string_view text) {
  for (std::size_t at = text.find('&'); at != std::string_view::npos && at + 1 < text.size(); at = text.find('&', at + 2)) {
    if (text[at + 1] != '&') return true;
  }
  return false;
}

int BeepCount();

// Called with every text set on a control, when set: the test support's way
// of watching what a window shows. The programs never set it.
using TextObserver = void (*)(int id, std::string_view text);
extern TextObserver textObserver;

}  // namespace halvex::ui
