// Test support for the Win32 window layer: keys as the keyboard sends them
// (WM_KEYDOWN, WM_CHAR, through the dialog manager where it would see them),
// clicks as mouse messages, the close command, and what the controls show.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <utility>

#include "ui/testing.h"
#include "ui/ui_win32_internal.h"

namespace halvex::ui::testing {

namespace {

HWND HandleOf(Window* window, int id) {
  Control* control = Find(window, id);
  return control == nullptr ? nullptr : control->hwnd;
}

// Key events go where the keyboard would send them: a list's edit part.
HWND KeyTarget(Window* window, int id) {
  HWND hwnd = HandleOf(window, id);
  if (Control* control = Find(window, id); control != nullptr && control->kind == ControlKind::Combo) {
    if (HWND edit = ListEditOf(hwnd)) return edit;
  }
  return hwnd;
}

// One message as the loop of a modal window handles it.
void Handle(MSG& message) {
  if (message.hwnd == nullptr) {
    if (threadMessageHook != nullptr) threadMessageHook(message);
    return;
  }
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  if (WindowOf(root) != nullptr && ::IsDialogMessageA(root, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
}

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) Handle(message);
}

void KeyStroke(HWND target, UINT virtualKey) {
  MSG down{target, WM_KEYDOWN, virtualKey, 1, 0, {}};
  Handle(down);
  MSG up{target, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u), 0, {}};
  Handle(up);
  Pump();
}

std::deque<std::function<void()>> pending;

void RunPending(const MSG& message) {
  if (message.message != WM_APP) return;
  while (!pending.empty()) {
    std::function<void()> action = std::move(pending.front());
    pending.pop_front();
    action();
  }
}

std::string DisplayText(std::string text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      shown += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      shown += text[i];
    }
  }
  return shown;
}

std::string TextOf(HWND hwnd) {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A message box's text as UTF-8, the encoding ShowError takes it in.
std::string Utf8TextOf(HWND hwnd) {
  std::wstring wide(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  wide.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, wide.data(), static_cast<int>(wide.size()))));
  if (wide.empty()) return {};
  const int length =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
  return text;
}

LOGFONTA FontOf(HWND hwnd) {
  LOGFONTA font{};
  HFONT handle = reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0));
  if (handle == nullptr) handle = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  ::GetObjectA(handle, sizeof font, &font);
  return font;
}

Rect RectIn(Window* window, HWND hwnd) {
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  ::MapWindowPoints(nullptr, window->hwnd, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int IdOf(Window* window, HWND hwnd) {
  const int id = ::GetDlgCtrlID(hwnd);
  return HandleOf(window, id) == hwnd ? id : 0;
}

std::vector<MessageBoxText> answeredBoxes;
HHOOK boxHook = nullptr;

LRESULT CALLBACK AnswerBox(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[16] = "";
    ::GetClassNameA(box, className, sizeof className);
    // A dialog of the window system's (a message box), not one of ours.
    if (std::strcmp(className, "#32770") == 0 && WindowOf(box) == nullptr) {
      answeredBoxes.push_back({Utf8TextOf(box), Utf8TextOf(::GetDlgItem(box, 0xFFFF))});
      ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    }
  }
  return ::CallNextHookEx(boxHook, code, wParam, lParam);
}

}  // namespace

// Each character passes the dialog manager, as typed ones do: on a control
// that takes no typing, a letter is a mnemonic.
void Type(Window* window, int id, std::string_view text) {
  HWND target = KeyTarget(window, id);
  for (char c : text) {
    MSG typed{target, WM_CHAR, static_cast<unsigned char>(c), 1, 0, {}};
    Handle(typed);
    Pump();
  }
}

// The keyboard sends a letter with Alt as a system key, which the loop
// translates into the system character that the dialog manager looks up
// among the mnemonics.
void TypeWithAlt(Window* window, int id, char letter) {
  HWND target = KeyTarget(window, id);
  const auto virtualKey = static_cast<WPARAM>(::VkKeyScanA(letter) & 0xFF);
  constexpr LPARAM kAltHeld = 1 << 29;
  MSG down{target, WM_SYSKEYDOWN, virtualKey, kAltHeld | 1, 0, {}};
  Handle(down);
  Pump();
  MSG up{target, WM_SYSKEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u) | kAltHeld, 0, {}};
  Handle(up);
  Pump();
}

void Press(Window* window, int id, Key key) {
  HWND target = KeyTarget(window, id);
  struct KeyOnKeyboard {
    Key key;
    UINT virtualKey;
  };
  static constexpr KeyOnKeyboard kKeys[] = {
      {Key::Backspace, VK_BACK}, {Key::Delete, VK_DELETE}, {Key::Enter, VK_RETURN}, {Key::Escape, VK_ESCAPE},
      {Key::Down, VK_DOWN},      {Key::Up, VK_UP},         {Key::End, VK_END},      {Key::Home, VK_HOME},
      {Key::F4, VK_F4},
  };
  switch (key) {
    case Key::Tab:
    case Key::BackTab:
      // The dialog manager's own move to the next or previous tab stop.
      ::SendMessageA(window->hwnd, WM_NEXTDLGCTL, key == Key::BackTab ? 1 : 0, FALSE);
      break;
    case Key::SelectAll:
      ::SendMessageA(target, EM_SETSEL, 0, -1);
      break;
    case Key::Undo:
      ::SendMessageA(target, EM_UNDO, 0, 0);
      break;
    default:
      for (const KeyOnKeyboard& stroke : kKeys) {
        if (stroke.key == key) KeyStroke(target, stroke.virtualKey);
      }
  }
  Pump();
}

void Focus(Window* window, int id) {
  Activate(window);
  ui::SetFocus(window, id);
  Pump();
}

void Click(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr) return;
  if (control->kind == ControlKind::Button) {
    ::SendMessageA(control->hwnd, BM_CLICK, 0, 0);
  } else {
    RECT r{};
    ::GetClientRect(control->hwnd, &r);
    const LPARAM centre = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::SendMessageA(control->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::SendMessageA(control->hwnd, WM_LBUTTONUP, 0, centre);
  }
  Pump();
}

void Choose(Window* window, int id, int index) {
  HWND combo = HandleOf(window, id);
  ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageA(window->hwnd, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
  ::SendMessageA(window->hwnd, WM_COMMAND, MAKEWPARAM(id, CBN_CLOSEUP), reinterpret_cast<LPARAM>(combo));
  Pump();
}

void RequestClose(Window* window) {
  ::SendMessageA(window->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
}

void ProcessEvents() { Pump(); }

void RunSoon(std::function<void()> action) {
  threadMessageHook = RunPending;
  pending.push_back(std::move(action));
  ::PostThreadMessageA(::GetCurrentThreadId(), WM_APP, 0, 0);
}

Window* ActiveModalWindow() { return modalWindows.empty() ? nullptr : modalWindows.back(); }

bool IsOnScreen(Window* window, int id) {
  HWND hwnd = HandleOf(window, id);
  return hwnd != nullptr && ::IsWindowVisible(hwnd);
}

Rect Geometry(Window* window, int id) { return RectIn(window, HandleOf(window, id)); }

// The dialog manager maps position and size each on its own, rounding.
Rect DialogRect(Window* window, const Rect& units) {
  RECT r{units.x, units.y, units.w, units.h};
  ::MapDialogRect(window->hwnd, &r);
  return {r.left, r.top, r.right, r.bottom};
}

Rect ClientSize(Window* window) {
  RECT r{};
  ::GetClientRect(window->hwnd, &r);
  return {0, 0, r.right, r.bottom};
}

int FontPixelSize(Window* window, int id) { return std::abs(static_cast<int>(FontOf(HandleOf(window, id)).lfHeight)); }

bool FontBold(Window* window, int id) { return FontOf(HandleOf(window, id)).lfWeight >= FW_BOLD; }

std::string ShownText(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind == ControlKind::Picture || control->kind == ControlKind::Line) return {};
  return DisplayText(TextOf(control->hwnd));
}

std::optional<Color> Background(Window* window, int id) {
  Control* control = Find(window, id);
  return control == nullptr ? std::nullopt : control->background;
}

Color TextColor(Window* window, int id) {
  Control* control = Find(window, id);
  return control == nullptr ? Color{0, 0, 0} : control->textColor;
}

bool HasPicture(Window* window, int id) {
  if (Control* control = Find(window, id)) DecodePicture(control);
  HWND hwnd = HandleOf(window, id);
  return hwnd != nullptr && ::SendMessageA(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
}

// The picture's own size: one stretched to its control shows resampled.
Rect PictureSize(Window* window, int id) {
  const Control* control = Find(window, id);
  if (control == nullptr || !HasPicture(window, id)) return {0, 0, 0, 0};
  return {0, 0, static_cast<int>(control->pictureSize.cx), static_cast<int>(control->pictureSize.cy)};
}

// Labels of several lines break at word ends; a label of one line never does.
bool IsWordWrapped(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Label) return false;
  return (::GetWindowLongA(control->hwnd, GWL_STYLE) & SS_TYPEMASK) != SS_OWNERDRAW;
}

std::vector<Shape> DrawingOf(Window* window, int id) {
  const Control* control = Find(window, id);
  return control != nullptr ? control->shapes : std::vector<Shape>{};
}

int ListCount(Window* window, int id) {
  HWND hwnd = HandleOf(window, id);
  return hwnd == nullptr ? 0 : static_cast<int>(::SendMessageA(hwnd, CB_GETCOUNT, 0, 0));
}

bool IsListOpen(Window* window, int id) {
  HWND hwnd = HandleOf(window, id);
  return hwnd != nullptr && ::SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

// The first letter sits at the left margin unless the text is scrolled.
bool ShowsFromFirstLetter(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return false;
  HWND edit = KeyTarget(window, id);
  const auto position = static_cast<DWORD>(::SendMessageA(edit, EM_POSFROMCHAR, 0, 0));
  return static_cast<short>(LOWORD(position)) >= 0;
}

std::string ListEntry(Window* window, int id, int index) {
  HWND hwnd = HandleOf(window, id);
  const LRESULT length = hwnd == nullptr ? CB_ERR : ::SendMessageA(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  ::SendMessageA(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::string WindowTitle(Window* window) { return TextOf(window->hwnd); }

bool HasCloseButton(Window* window) { return (::GetWindowLongA(window->hwnd, GWL_STYLE) & WS_SYSMENU) != 0; }

// The dialog manager tabs through the tab stops in the order of the window
// system's sibling list.
std::vector<int> TabOrder(Window* window) {
  std::vector<int> order;
  for (HWND child = ::GetWindow(window->hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if ((::GetWindowLongA(child, GWL_STYLE) & WS_TABSTOP) != 0) {
      if (const int id = IdOf(window, child)) order.push_back(id);
    }
  }
  return order;
}

// What a click there reaches: the topmost shown control that does not let
// clicks through (statics without SS_NOTIFY and group boxes do).
int ControlAt(Window* window, int x, int y) {
  POINT screen{x, y};
  ::ClientToScreen(window->hwnd, &screen);
  for (HWND child = ::GetWindow(window->hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (!::IsWindowVisible(child)) continue;
    RECT r{};
    ::GetWindowRect(child, &r);
    if (!::PtInRect(&r, screen)) continue;
    if (::SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT) continue;
    return IdOf(window, child);
  }
  return 0;
}

int Beeps() { return BeepCount(); }

Color ScreenPixel(Window* window, int x, int y) {
  ::UpdateWindow(window->hwnd);
  HDC dc = ::GetDC(window->hwnd);
  const COLORREF color = ::GetPixel(dc, x, y);
  ::ReleaseDC(window->hwnd, dc);
  return {GetRValue(color), GetGValue(color), GetBValue(color)};
}

namespace {

// The pixels of a bitmap selected into nothing, read as 24-bit rows from the top.
Picture PictureOf(HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = TopDown24BitInfo(width, height);
  const int stride = (3 * width + 3) & ~3;
  std::vector<unsigned char> bits(static_cast<std::size_t>(stride) * height);
  ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), bits.data(), &info, DIB_RGB_COLORS);
  Picture picture{width, height, {}};
  for (int y = 0; y < height; ++y) {
    const unsigned char* row = bits.data() + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x) picture.pixels.push_back({row[3 * x + 2], row[3 * x + 1], row[3 * x]});
  }
  return picture;
}

}  // namespace

Picture ScreenArea(Window* window, const Rect& area) {
  ::UpdateWindow(window->hwnd);
  HDC source = ::GetDC(window->hwnd);
  HDC memory = ::CreateCompatibleDC(source);
  HBITMAP bitmap = ::CreateCompatibleBitmap(source, area.w, area.h);
  const HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, area.w, area.h, source, area.x, area.y, SRCCOPY);
  ::SelectObject(memory, previous);
  Picture picture = PictureOf(memory, bitmap, area.w, area.h);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window->hwnd, source);
  return picture;
}

Picture ReadPictureFile(const std::string& path) {
  auto* bitmap = static_cast<HBITMAP>(::LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  BITMAP size{};
  if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof size, &size) == 0) return {};
  HDC screen = ::GetDC(nullptr);
  Picture picture = PictureOf(screen, bitmap, size.bmWidth, size.bmHeight);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(bitmap);
  return picture;
}

int VisibleControlAt(Window* window, int x, int y) {
  POINT screen{x, y};
  ::ClientToScreen(window->hwnd, &screen);
  for (HWND child = ::GetWindow(window->hwnd, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    RECT r{};
    ::GetWindowRect(child, &r);
    if (::IsWindowVisible(child) && ::PtInRect(&r, screen)) return IdOf(window, child);
  }
  return 0;
}

void Activate(Window* window) {
  ::SetForegroundWindow(window->hwnd);
  ::SetActiveWindow(window->hwnd);
  Pump();
}

void AnswerMessageBoxes() {
  if (boxHook == nullptr) boxHook = ::SetWindowsHookExA(WH_CBT, AnswerBox, nullptr, ::GetCurrentThreadId());
}

std::vector<MessageBoxText> TakeAnsweredMessageBoxes() { return std::exchange(answeredBoxes, {}); }

bool ShowsWholeText(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Label) return false;
  // Blank lines and blanks at the end show nothing, so they may run past the edge.
  std::string text = TextOf(control->hwnd);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  RECT room{};
  ::GetClientRect(control->hwnd, &room);
  HDC dc = ::GetDC(control->hwnd);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control->hwnd, WM_GETFONT, 0, 0)));
  RECT needed{0, 0, room.right, 0};
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (IsWordWrapped(window, id) ? DT_WORDBREAK : DT_SINGLELINE);
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, flags);
  ::SelectObject(dc, old);
  ::ReleaseDC(control->hwnd, dc);
  return needed.right <= room.right && needed.bottom <= room.bottom;
}

int ShownLines(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Label) return 0;
  std::string text = TextOf(control->hwnd);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  RECT room{};
  ::GetClientRect(control->hwnd, &room);
  HDC dc = ::GetDC(control->hwnd);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(control->hwnd, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  RECT needed{0, 0, room.right, 0};
  UINT flags = DT_CALCRECT | DT_EXPANDTABS | (IsWordWrapped(window, id) ? DT_WORDBREAK : DT_SINGLELINE);
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &needed, flags);
  ::SelectObject(dc, old);
  ::ReleaseDC(control->hwnd, dc);
  return metrics.tmHeight > 0 ? static_cast<int>(needed.bottom / metrics.tmHeight) : 0;
}

}  // namespace halvex::ui::testing
