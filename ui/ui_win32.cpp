// The window layer on Win32: dialogs from templates built in memory, the
// controls of user32, fonts and colours through gdi32.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/ui.h"
#include "ui/message_text.h"
#include "ui/ui_win32_internal.h"

// The PNG decoder, its PNG part alone, compiled into this file and kept to it.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_NO_THREAD_LOCALS
#define STBI_NO_SIMD
#include <stb_image.h>

namespace halvex::ui {

// The layer publishes the window system's numbers without its header; they
// must be the header's own.
static_assert(kWmNcActivate == WM_NCACTIVATE && kWmCommand == WM_COMMAND && kWmSysCommand == WM_SYSCOMMAND);
static_assert(kScClose == SC_CLOSE && kSysCommandMask == 0xFFF0);
static_assert(kBnClicked == BN_CLICKED && kStnClicked == STN_CLICKED && kCbnSelChange == CBN_SELCHANGE &&
              kCbnSetFocus == CBN_SETFOCUS && kCbnDropDown == CBN_DROPDOWN && kCbnCloseUp == CBN_CLOSEUP &&
              kEnSetFocus == EN_SETFOCUS && kEnChange == EN_CHANGE);
static_assert(style::kPopup == WS_POPUP && style::kChild == WS_CHILD && style::kVisible == WS_VISIBLE &&
              style::kClipSiblings == WS_CLIPSIBLINGS && style::kCaption == WS_CAPTION &&
              style::kVScroll == WS_VSCROLL && style::kSysMenu == WS_SYSMENU &&
              style::kMinimizeBox == WS_MINIMIZEBOX && style::kTabStop == WS_TABSTOP);
static_assert(style::kDsSetFont == DS_SETFONT && style::kDsModalFrame == DS_MODALFRAME &&
              style::kDsCenter == DS_CENTER && style::kDs3dLook == DS_3DLOOK && style::kDsNoFailCreate == DS_NOFAILCREATE);
static_assert(style::kEsLeft == ES_LEFT && style::kEsAutoHScroll == ES_AUTOHSCROLL && style::kSsLeft == SS_LEFT &&
              style::kSsCenter == SS_CENTER && style::kSsBitmap == SS_BITMAP &&
              style::kSsEtchedFrame == SS_ETCHEDFRAME && style::kSsRealSizeControl == SS_REALSIZECONTROL &&
              style::kSsNotify == SS_NOTIFY);
static_assert(style::kCbsDropDown == CBS_DROPDOWN && style::kCbsSort == CBS_SORT &&
              style::kBsPushButton == BS_PUSHBUTTON && style::kBsGroupBox == BS_GROUPBOX && style::kBsLeft == BS_LEFT);
static_assert(style::kExTransparent == WS_EX_TRANSPARENT && style::kExWindowEdge == WS_EX_WINDOWEDGE &&
              style::kExClientEdge == WS_EX_CLIENTEDGE && style::kExControlParent == WS_EX_CONTROLPARENT);

void (*threadMessageHook)(const MSG& message) = nullptr;
TextObserver textObserver = nullptr;
std::vector<Window*> modalWindows;

BITMAPINFO TopDown24BitInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

namespace {

constexpr const char* kFontFace = "MS Sans Serif";
constexpr WORD kDialogFontPoints = 8;
// The dialog font is a bitmap font of three sizes (8, 10 and 12 points at
// 96 dpi) whose bold is smeared from the regular: a bold 14-point font asked
// of it comes out as the 12-point regular, emboldened. The bold fonts take
// its TrueType counterpart, which the window system itself puts in its place
// where it scales, and which has a real bold at every size.
constexpr const char* kBoldFontFace = "Microsoft Sans Serif";

// The predefined control classes, by their atoms.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboClass = 0x0085;

int beepCount = 0;

HINSTANCE Instance() { return ::GetModuleHandleA(nullptr); }

// A DLGTEMPLATEEX with its DLGITEMTEMPLATEEX items, word by word.
class TemplateWriter {
 public:
  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Short(int value) { Word(static_cast<WORD>(static_cast<short>(value))); }
  // Texts are Latin-1: each byte is its own UTF-16 code unit.
  void Text(std::string_view text) {
    for (char c : text) Word(static_cast<unsigned char>(c));
    Word(0);
  }
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }
  const WORD* data() const { return words_.data(); }

 private:
  std::vector<WORD> words_;
};

WORD ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Edit:
      return kEditClass;
    case ControlKind::Combo:
      return kComboClass;
    case ControlKind::Group:
    case ControlKind::Button:
      return kButtonClass;
    case ControlKind::Label:
    case ControlKind::Picture:
    case ControlKind::Line:
    case ControlKind::Drawing:
      break;
  }
  return kStaticClass;
}

// A label of one line is drawn by the layer (see DrawOneLineLabel): the
// window system's static breaks a centred or left-aligned text at its blanks
// and would show " 100.2" as a blank line over a hidden second one.
bool IsOneLineLabel(const ControlRow& row) { return row.kind == ControlKind::Label && !IsMultiLineLabel(row); }

std::uint32_t ControlStyle(const ControlRow& row) {
  std::uint32_t style = row.style | WS_CHILD | WS_VISIBLE;
  if (IsOneLineLabel(row) || row.kind == ControlKind::Drawing) {
    style = (style & ~static_cast<std::uint32_t>(SS_TYPEMASK)) | SS_OWNERDRAW;
  }
  // A picture never paints over the controls laid on it: the window system
  // would otherwise let a full redraw paint it over the edit fields.
  if (row.kind == ControlKind::Picture) style |= WS_CLIPSIBLINGS;
  return style;
}

std::uint32_t ControlExStyle(const ControlRow& row) {
  // An edit field is opaque anyway; marked transparent, it would be painted
  // after the picture below it and vanish under it on a redraw.
  if (row.kind == ControlKind::Edit) return row.exStyle & ~static_cast<std::uint32_t>(WS_EX_TRANSPARENT);
  return row.exStyle;
}

TemplateWriter BuildTemplate(const WindowTable& table) {
  TemplateWriter out;
  out.Word(1);       // version
  out.Word(0xFFFF);  // the extended template
  out.Dword(0);      // help id
  out.Dword(table.exStyle);
  out.Dword((table.style & ~static_cast<std::uint32_t>(WS_VISIBLE)) | DS_SETFONT);
  out.Word(static_cast<WORD>(table.controls.size()));
  out.Short(0);
  out.Short(0);
  out.Short(table.width);
  out.Short(table.height);
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(table.title);
  out.Word(kDialogFontPoints);
  out.Word(FW_NORMAL);
  out.Word(0);  // not italic, character set 0
  out.Text(kFontFace);
  for (const ControlRow& item : table.controls) {
    out.AlignToDword();
    out.Dword(0);  // help id
    out.Dword(ControlExStyle(item));
    out.Dword(ControlStyle(item));
    out.Short(item.x);
    out.Short(item.y);
    out.Short(item.w);
    out.Short(item.h);
    out.Dword(static_cast<DWORD>(item.id));
    out.Word(0xFFFF);
    out.Word(ClassOf(item.kind));
    out.Text(item.kind == ControlKind::Picture ? "" : item.text);
    out.Word(0);  // no creation data
  }
  return out;
}

Control* ControlOf(Window* window, HWND hwnd) {
  for (auto& [id, control] : window->controls) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
}

INT_PTR ColorStatic(Window* window, HDC dc, HWND hwnd);
HBITMAP TopDown24BitBitmap(int width, int height, void** bits);

// One line in the label's font and colours, never broken: centred when it
// fits, else from its start, cut at the right edge.
void DrawOneLineLabel(Window* window, const DRAWITEMSTRUCT& item) {
  const Control* control = Find(window, static_cast<int>(item.CtlID));
  if (control == nullptr) return;
  HDC dc = item.hDC;
  auto brush = reinterpret_cast<HBRUSH>(ColorStatic(window, dc, item.hwndItem));
  if (brush == nullptr) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    brush = ::GetSysColorBrush(COLOR_BTNFACE);
  }
  RECT room = item.rcItem;
  ::FillRect(dc, &room, brush);
  const int saved = ::SaveDC(dc);
  ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(item.hwndItem, WM_GETFONT, 0, 0)));
  ::SetBkMode(dc, TRANSPARENT);
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(item.hwndItem)) + 1, '\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextA(item.hwndItem, text.data(), static_cast<int>(text.size()))));
  SIZE size{};
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  const bool centred = (control->style & SS_TYPEMASK) == SS_CENTER && size.cx <= room.right - room.left;
  // Only a caption with a mnemonic ("&Model") shows it underlined; a value
  // is shown as it is.
  const UINT prefix = HasMnemonic(text) ? 0 : DT_NOPREFIX;
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &room,
              DT_SINGLELINE | prefix | DT_EXPANDTABS | (centred ? DT_CENTER : DT_LEFT));
  ::RestoreDC(dc, saved);
}

// A drawing's shapes are drawn at kDrawingSamples times the size and each
// pixel is the average of the samples it covers, so that circles and slanted
// lines come out smooth; the texts are drawn at the final size.
constexpr int kDrawingSamples = 3;

// An ellipse outlined kDrawingSamples wide, centred on its bounds as a wide
// pen would draw it, and filled when `fill` is given. Made of elliptic
// regions rather than drawn with a wide pen: Wine strokes a wide pen's curve
// point by point, several milliseconds for each large circle of a plan.
void DrawRing(HDC dc, int left, int top, int right, int bottom, COLORREF color, HBRUSH fill) {
  constexpr int kOut = kDrawingSamples / 2, kIn = kDrawingSamples - kOut;
  HRGN ring = ::CreateEllipticRgn(left - kOut, top - kOut, right + kOut, bottom + kOut);
  if (ring == nullptr) return;
  if (right - left > 2 * kIn && bottom - top > 2 * kIn) {
    HRGN inside = ::CreateEllipticRgn(left + kIn, top + kIn, right - kIn, bottom - kIn);
    if (inside != nullptr) {
      if (fill != nullptr) ::FillRgn(dc, inside, fill);
      ::CombineRgn(ring, ring, inside, RGN_DIFF);
      ::DeleteObject(inside);
    }
  }
  HBRUSH outline = ::CreateSolidBrush(color);
  ::FillRgn(dc, ring, outline);
  ::DeleteObject(outline);
  ::DeleteObject(ring);
}

void DrawShapes(Window* window, const DRAWITEMSTRUCT& item) {
  const Control* control = Find(window, static_cast<int>(item.CtlID));
  if (control == nullptr) return;
  const int width = item.rcItem.right - item.rcItem.left, height = item.rcItem.bottom - item.rcItem.top;
  if (width <= 0 || height <= 0 || control->unitsWide <= 0) return;
  const double scale = static_cast<double>(width) / control->unitsWide;
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  auto rgb = [](Color c) { return RGB(c.red, c.green, c.blue); };

  HDC big = ::CreateCompatibleDC(item.hDC);
  void* bigBits = nullptr;
  const int bigWidth = width * kDrawingSamples, bigHeight = height * kDrawingSamples;
  HBITMAP bigBitmap = TopDown24BitBitmap(bigWidth, bigHeight, &bigBits);
  HDC small = ::CreateCompatibleDC(item.hDC);
  void* smallBits = nullptr;
  HBITMAP smallBitmap = TopDown24BitBitmap(width, height, &smallBits);
  if (big == nullptr || small == nullptr || bigBitmap == nullptr || smallBitmap == nullptr) {
    if (bigBitmap != nullptr) ::DeleteObject(bigBitmap);
    if (smallBitmap != nullptr) ::DeleteObject(smallBitmap);
    if (big != nullptr) ::DeleteDC(big);
    if (small != nullptr) ::DeleteDC(small);
    return;
  }
  const HGDIOBJ bigBefore = ::SelectObject(big, bigBitmap);
  const RECT all{0, 0, bigWidth, bigHeight};
  HBRUSH faceBrush = ::CreateSolidBrush(face);
  ::FillRect(big, &all, faceBrush);
  ::DeleteObject(faceBrush);
  const double s = scale * kDrawingSamples;
  auto at = [s](double v) { return static_cast<int>(v * s + 0.5); };
  for (const Shape& shape : control->shapes) {
    if (shape.kind == Shape::Kind::Text) continue;
    HPEN pen = ::CreatePen(PS_SOLID, kDrawingSamples, rgb(shape.color));
    HBRUSH brush = shape.fill ? ::CreateSolidBrush(rgb(*shape.fill)) : nullptr;
    const HGDIOBJ penBefore = ::SelectObject(big, pen);
    const HGDIOBJ brushBefore = ::SelectObject(big, brush != nullptr ? static_cast<HGDIOBJ>(brush) : ::GetStockObject(NULL_BRUSH));
    const int left = at(shape.x), top = at(shape.y), right = at(shape.x + shape.w), bottom = at(shape.y + shape.h);
    switch (shape.kind) {
      case Shape::Kind::Line:
        ::MoveToEx(big, left, top, nullptr);
        ::LineTo(big, right, bottom);
        break;
      case Shape::Kind::Rectangle:
        ::Rectangle(big, left, top, right, bottom);
        break;
      case Shape::Kind::Ellipse:
        DrawRing(big, left, top, right, bottom, rgb(shape.color), brush);
        break;
      case Shape::Kind::Text:
        break;
    }
    ::SelectObject(big, penBefore);
    ::SelectObject(big, brushBefore);
    ::DeleteObject(pen);
    if (brush != nullptr) ::DeleteObject(brush);
  }
  ::GdiFlush();
  const int bigStride = (3 * bigWidth + 3) & ~3, smallStride = (3 * width + 3) & ~3;
  const auto* in = static_cast<const unsigned char*>(bigBits);
  auto* out = static_cast<unsigned char*>(smallBits);
  constexpr int kSamples = kDrawingSamples * kDrawingSamples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int channel = 0; channel < 3; ++channel) {
        int sum = 0;
        for (int dy = 0; dy < kDrawingSamples; ++dy) {
          const unsigned char* row = in + static_cast<std::size_t>(y * kDrawingSamples + dy) * bigStride;
          for (int dx = 0; dx < kDrawingSamples; ++dx) sum += row[3 * (x * kDrawingSamples + dx) + channel];
        }
        out[static_cast<std::size_t>(y) * smallStride + 3 * x + channel] = static_cast<unsigned char>((sum + kSamples / 2) / kSamples);
      }
    }
  }
  const HGDIOBJ smallBefore = ::SelectObject(small, smallBitmap);
  ::SelectObject(small, reinterpret_cast<HGDIOBJ>(::SendMessageA(window->hwnd, WM_GETFONT, 0, 0)));
  ::SetBkMode(small, TRANSPARENT);
  for (const Shape& shape : control->shapes) {
    if (shape.kind != Shape::Kind::Text) continue;
    RECT box{static_cast<LONG>(shape.x * scale), static_cast<LONG>(shape.y * scale),
             static_cast<LONG>((shape.x + shape.w) * scale + 0.5), static_cast<LONG>((shape.y + shape.h) * scale + 0.5)};
    ::SetTextColor(small, rgb(shape.color));
    ::DrawTextA(small, shape.text.c_str(), static_cast<int>(shape.text.size()), &box,
                DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER | DT_NOCLIP);
  }
  ::BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, small, 0, 0, SRCCOPY);
  ::SelectObject(small, smallBefore);
  ::SelectObject(big, bigBefore);
  ::DeleteObject(bigBitmap);
  ::DeleteObject(smallBitmap);
  ::DeleteDC(big);
  ::DeleteDC(small);
}

INT_PTR ColorStatic(Window* window, HDC dc, HWND hwnd) {
  Control* control = ControlOf(window, hwnd);
  if (control == nullptr) {
    // A list's edit part takes no typing, which would grey it as a static;
    // it keeps the colours of a field.
    const Control* owner = ControlOf(window, ::GetParent(hwnd));
    if (owner == nullptr || owner->kind != ControlKind::Combo) return FALSE;
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_WINDOW));
  }
  if (!control->colored) return FALSE;
  const Color text = control->textColor;
  ::SetTextColor(dc, RGB(text.red, text.green, text.blue));
  if (control->background) {
    ::SetBkColor(dc, RGB(control->background->red, control->background->green, control->background->blue));
    return reinterpret_cast<INT_PTR>(control->brush);
  }
  // No background of its own: the window's shows.
  ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
}

// The notifications the layer passes on, as every toolkit behind it does;
// the window system's others (EN_UPDATE, EN_KILLFOCUS, ...) stay here.
bool IsLayerNotification(const Control* control, int code) {
  if (control == nullptr) return false;
  switch (control->kind) {
    case ControlKind::Edit:
      return code == kEnChange || code == kEnSetFocus;
    case ControlKind::Combo:
      return code == kCbnSelChange || code == kCbnSetFocus || code == kCbnDropDown || code == kCbnCloseUp;
    case ControlKind::Button:
      return code == kBnClicked;
    case ControlKind::Picture:
      return code == kStnClicked && (control->style & style::kSsNotify) != 0;
    default:
      return false;
  }
}

INT_PTR CALLBACK DialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    return TRUE;
  }
  Window* window = reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (window == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      // Esc and Enter with no button to press come as these and end
      // nothing; Enter presses the button that has the focus, if any.
      if ((id == IDOK || id == IDCANCEL) && lParam == 0) {
        if (id == IDOK) {
          const int focused = FocusedControl(window);
          const Control* control = Find(window, focused);
          if (control != nullptr && control->kind == ControlKind::Button) {
            Deliver(window, kWmCommand, focused, kBnClicked, MAKEWPARAM(focused, kBnClicked));
          }
        }
        return TRUE;
      }
      if (window->settingText > 0 && Find(window, id) != nullptr) return TRUE;
      if (IsLayerNotification(Find(window, id), code)) Deliver(window, kWmCommand, id, code, wParam);
      return TRUE;
    }
    case WM_SYSCOMMAND:
      if ((wParam & kSysCommandMask) != kScClose) return FALSE;
      if (!window->waiting) {
        Deliver(window, kWmSysCommand, 0, 0, wParam);
        EndWindow(window, 0);
      }
      ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
      return TRUE;
    case WM_NCACTIVATE:
      Deliver(window, kWmNcActivate, 0, 0, wParam);
      return FALSE;
    case WM_CTLCOLORSTATIC:
      return ColorStatic(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_STATIC) return FALSE;
      const Control* control = Find(window, static_cast<int>(item->CtlID));
      if (control != nullptr && control->kind == ControlKind::Drawing) {
        DrawShapes(window, *item);
      } else {
        DrawOneLineLabel(window, *item);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// A label of several lines shows only the lines that fit whole: the window
// system would show a last line cut through the middle.
WNDPROC staticProcedure = nullptr;

LRESULT CALLBACK WholeLinesLabel(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETTEXT) {
    // The window system may draw a new text at once, past the last whole
    // line: paint it again our way.
    const LRESULT result = ::CallWindowProcA(staticProcedure, hwnd, message, wParam, lParam);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return result;
  }
  if (message != WM_PAINT || wParam != 0) return ::CallWindowProcA(staticProcedure, hwnd, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(hwnd, &paint);
  RECT client{};
  ::GetClientRect(hwnd, &client);
  const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc, &metrics);
  ::SelectObject(dc, previous);
  const int whole = metrics.tmHeight > 0 ? client.bottom / metrics.tmHeight * metrics.tmHeight : client.bottom;
  // Below the last whole line the label shows only its background...
  const RECT below{0, whole, client.right, client.bottom};
  auto brush = reinterpret_cast<HBRUSH>(
      ::SendMessageA(::GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
  ::FillRect(dc, &below, brush != nullptr ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
  // ...and above it, the label paints itself as always.
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, 0, 0, client.right, whole);
  ::CallWindowProcA(staticProcedure, hwnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  ::RestoreDC(dc, saved);
  ::EndPaint(hwnd, &paint);
  return 0;
}

// A picture resource in full colour: a PNG (resource type "PNG") decoded
// here into a 24-bit DIB, or, where that fails, a bitmap resource as it is.
// Decoding in the program rather than by the window system's imaging
// component spares the first frame five more libraries and their memory.
HBITMAP DecodePng(const void* bytes, DWORD size) {
  if (size > static_cast<DWORD>(INT_MAX)) return nullptr;
  int width = 0, height = 0, channels = 0;
  unsigned char* rgb = stbi_load_from_memory(static_cast<const stbi_uc*>(bytes), static_cast<int>(size), &width,
                                             &height, &channels, 3);
  if (rgb == nullptr) return nullptr;
  void* bits = nullptr;
  HBITMAP bitmap = TopDown24BitBitmap(width, height, &bits);
  if (bitmap != nullptr) {
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    for (int y = 0; y < height; ++y) {
      const unsigned char* in = rgb + static_cast<std::size_t>(y) * width * 3;
      unsigned char* out = static_cast<unsigned char*>(bits) + y * stride;
      for (int x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];  // a DIB keeps blue first
        out[1] = in[1];
        out[2] = in[0];
      }
    }
  }
  stbi_image_free(rgb);
  return bitmap;
}

HBITMAP ReadPicture(const std::string& name) {
  if (HRSRC resource = ::FindResourceA(Instance(), name.c_str(), "PNG")) {
    HGLOBAL loaded = ::LoadResource(Instance(), resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes != nullptr) {
      if (HBITMAP bitmap = DecodePng(bytes, ::SizeofResource(Instance(), resource))) return bitmap;
    }
  }
  return static_cast<HBITMAP>(
      ::LoadImageA(Instance(), name.c_str(), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR | LR_CREATEDIBSECTION));
}

// A picture stretched to its control is resampled here, each pixel the
// average of the picture's pixels it covers: the window system's stretching
// picks single pixels and breaks up fine lines.
std::vector<double> Resample(const std::vector<double>& source, int count, int lines, int target) {
  std::vector<double> out(static_cast<std::size_t>(target) * lines);
  const double step = static_cast<double>(count) / target;
  for (int line = 0; line < lines; ++line) {
    const double* in = source.data() + static_cast<std::size_t>(line) * count;
    for (int t = 0; t < target; ++t) {
      const double from = t * step, to = from + step;
      double sum = 0;
      for (int at = static_cast<int>(from); at < count && at < to; ++at) {
        sum += (std::min<double>(at + 1, to) - std::max<double>(at, from)) * in[at];
      }
      out[static_cast<std::size_t>(line) * target + t] = sum / step;
    }
  }
  return out;
}

// The rows of `lines` x `count` values turned into `count` rows of `lines`.
std::vector<double> Transposed(const std::vector<double>& values, int count, int lines) {
  std::vector<double> out(values.size());
  for (int line = 0; line < lines; ++line) {
    for (int at = 0; at < count; ++at) {
      out[static_cast<std::size_t>(at) * lines + line] = values[static_cast<std::size_t>(line) * count + at];
    }
  }
  return out;
}

HBITMAP TopDown24BitBitmap(int width, int height, void** bits) {
  BITMAPINFO info = TopDown24BitInfo(width, height);
  return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

HBITMAP Resized(HBITMAP picture, int width, int height) {
  BITMAP size{};
  if (::GetObjectA(picture, sizeof size, &size) == 0 || width <= 0 || height <= 0) return nullptr;
  const int sourceWidth = size.bmWidth, sourceHeight = size.bmHeight;
  BITMAPINFO info = TopDown24BitInfo(sourceWidth, sourceHeight);
  const int sourceStride = (3 * sourceWidth + 3) & ~3;
  std::vector<unsigned char> source(static_cast<std::size_t>(sourceStride) * sourceHeight);
  HDC screen = ::GetDC(nullptr);
  const int read = ::GetDIBits(screen, picture, 0, static_cast<UINT>(sourceHeight), source.data(), &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  void* bits = nullptr;
  HBITMAP resized = read == sourceHeight ? TopDown24BitBitmap(width, height, &bits) : nullptr;
  if (resized == nullptr) return nullptr;
  const int stride = (3 * width + 3) & ~3;
  for (int channel = 0; channel < 3; ++channel) {
    std::vector<double> values(static_cast<std::size_t>(sourceWidth) * sourceHeight);
    for (int y = 0; y < sourceHeight; ++y) {
      for (int x = 0; x < sourceWidth; ++x) {
        values[static_cast<std::size_t>(y) * sourceWidth + x] = source[static_cast<std::size_t>(y) * sourceStride + 3 * x + channel];
      }
    }
    // Across each row, then down each column.
    const std::vector<double> across = Resample(values, sourceWidth, sourceHeight, width);
    const std::vector<double> down = Resample(Transposed(across, width, sourceHeight), sourceHeight, width, height);
    auto* out = static_cast<unsigned char*>(bits);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const double value = down[static_cast<std::size_t>(x) * height + y] + 0.5;
        out[static_cast<std::size_t>(y) * stride + 3 * x + channel] = static_cast<unsigned char>(std::clamp(value, 0.0, 255.0));
      }
    }
  }
  return resized;
}

// Whether a picture resource of that name is there: a PNG (by its
// signature) or a bitmap.
bool HasPictureResource(const std::string& name) {
  if (HRSRC resource = ::FindResourceA(Instance(), name.c_str(), "PNG")) {
    HGLOBAL loaded = ::LoadResource(Instance(), resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes != nullptr && ::SizeofResource(Instance(), resource) >= 8 &&
        std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8) == 0) {
      return true;
    }
  }
  return ::FindResourceA(Instance(), name.c_str(), MAKEINTRESOURCEA(2)) != nullptr;  // RT_BITMAP
}

// A picture control reads its picture before it first paints.
LRESULT CALLBACK PictureProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    if (Window* window = WindowOf(::GetParent(hwnd))) {
      if (Control* control = Find(window, ::GetDlgCtrlID(hwnd)); control != nullptr && control->hwnd == hwnd) {
        DecodePicture(control);
      }
    }
  }
  return ::CallWindowProcA(staticProcedure, hwnd, message, wParam, lParam);
}

bool IsInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) || (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

int ScreenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

Application::Application(int&, char**) {}
Application::~Application() = default;

int BeepCount() { return beepCount; }

Window* WindowOf(HWND hwnd) {
  if (hwnd == nullptr || ::GetWindowLongPtrA(hwnd, DWLP_DLGPROC) == 0) return nullptr;
  return reinterpret_cast<Window*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
}

HWND ListEditOf(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return ::GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

Window* CreateDialogWindow(const WindowTable& table, EventHandler handler) {
  auto* window = new Window;
  window->handler = handler;
  const TemplateWriter dialogTemplate = BuildTemplate(table);
  window->hwnd = ::CreateDialogIndirectParamA(Instance(), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
                                              nullptr, DialogProcedure, reinterpret_cast<LPARAM>(window));
  if (window->hwnd == nullptr) {
    std::fprintf(stderr, "cannot create the window \"%s\" (error %lu)\n", table.title, ::GetLastError());
    std::abort();
  }
  for (const ControlRow& item : table.controls) {
    Control& control = window->controls[item.id];
    control.kind = item.kind;
    control.style = item.style;
    control.text = item.text;
    control.hwnd = ::GetDlgItem(window->hwnd, item.id);
    window->order.push_back(item.id);
    // A pasted value longer than the edit control's default 32,767
    // characters is taken whole, as far as the system allows.
    if (item.kind == ControlKind::Edit) ::SendMessageA(control.hwnd, EM_SETLIMITTEXT, 0, 0);
    if (HWND edit = item.kind == ControlKind::Combo ? ListEditOf(control.hwnd) : nullptr) {
      // Only a chosen entry counts: typed text would show a value other
      // than the one in use.
      ::SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    }
    if (item.kind == ControlKind::Picture && item.text[0] != '\0') LoadPicture(window, item.id, item.text);
    if (item.kind == ControlKind::Drawing) control.unitsWide = item.w;
    if (IsMultiLineLabel(item)) {
      staticProcedure = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(control.hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WholeLinesLabel)));
    }
  }
  // A group box frames the controls inside it and lies below all of them:
  // above a picture it would clip the picture away entirely (a picture
  // clips its siblings above it). Group boxes take no focus, so the tab
  // order, which follows the sibling order, stays as it was.
  for (const ControlRow& item : table.controls) {
    if (item.kind != ControlKind::Group) continue;
    ::SetWindowPos(Find(window, item.id)->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return window;
}

void DestroyWindow(Window* window) {
  if (window == nullptr) return;
  window->delivering = false;
  ::DestroyWindow(window->hwnd);
  for (auto& [id, control] : window->controls) {
    if (control.bitmap != nullptr) ::DeleteObject(control.bitmap);
    if (control.brush != nullptr) ::DeleteObject(control.brush);
  }
  if (window->bigIcon != nullptr) ::DestroyIcon(window->bigIcon);
  if (window->smallIcon != nullptr) ::DestroyIcon(window->smallIcon);
  delete window;
}

void ShowWindow(Window* window) {
  ::ShowWindow(window->hwnd, SW_SHOW);
  ::SetForegroundWindow(window->hwnd);
  window->delivering = true;
}

int RunModal(Window* window) {
  window->ended = false;
  window->result = 0;
  ::ShowWindow(window->hwnd, SW_SHOW);
  ::SetForegroundWindow(window->hwnd);
  window->delivering = true;
  modalWindows.push_back(window);
  MSG message;
  while (!window->ended) {
    const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got < 0) break;
    if (message.hwnd == nullptr) {
      if (threadMessageHook != nullptr) threadMessageHook(message);
      continue;
    }
    // The dialog manager's keyboard handling: Tab, arrows and accelerators.
    if (!::IsDialogMessageA(window->hwnd, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  modalWindows.pop_back();
  window->delivering = false;
  return window->result;
}

void EndWindow(Window* window, int result) {
  window->result = result;
  window->ended = true;
  ::ShowWindow(window->hwnd, SW_HIDE);
  ::PostMessageA(window->hwnd, WM_NULL, 0, 0);  // wakes the loop
}

void SetWindowIcon(Window* window, std::string_view resourceName) {
  const std::string name(resourceName);
  // Big at 32 x 32, small scaled from it to 16 x 16.
  auto load = [&name](int size) {
    return static_cast<HICON>(::LoadImageA(Instance(), name.c_str(), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  };
  HICON big = load(32), small = load(16);
  if (big == nullptr || small == nullptr) return;
  ::SendMessageA(window->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  ::SendMessageA(window->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
  if (window->bigIcon != nullptr) ::DestroyIcon(window->bigIcon);
  if (window->smallIcon != nullptr) ::DestroyIcon(window->smallIcon);
  window->bigIcon = big;
  window->smallIcon = small;
}

void SetText(Window* window, int id, std::string_view text) {
  Control* control = Find(window, id);
  if (control == nullptr) return;
  if (textObserver != nullptr) textObserver(id, text);
  control->text = std::string(text);
  if (control->kind == ControlKind::Picture || control->kind == ControlKind::Line) return;
  window->settingText++;
  ::SetWindowTextA(control->hwnd, control->text.c_str());
  window->settingText--;
  // The edit control reports a change for every text set, even the same
  // text, and at once: the handler may set text again from inside.
  if (control->kind == ControlKind::Edit) Deliver(window, kWmCommand, id, kEnChange, MAKEWPARAM(id, kEnChange));
}

std::string GetText(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr) return {};
  if (control->kind == ControlKind::Edit || control->kind == ControlKind::Combo) return WindowText(control->hwnd);
  return control->text;
}

void Show(Window* window, int id, bool visible) {
  if (Control* control = Find(window, id)) ::ShowWindow(control->hwnd, visible ? SW_SHOWNA : SW_HIDE);
}

bool IsShown(Window* window, int id) {
  const Control* control = Find(window, id);
  return control != nullptr && (::GetWindowLongA(control->hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

struct Font {
  HFONT font;
};

Font* CreateBoldFont(int points) {
  LOGFONTA description{};
  description.lfHeight = -FontPixelHeight(points, ScreenDpi());
  description.lfWeight = FW_BOLD;
  description.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  std::snprintf(description.lfFaceName, sizeof description.lfFaceName, "%s", kBoldFontFace);
  return new Font{::CreateFontIndirectA(&description)};
}

void DeleteFont(Font* font) {
  if (font == nullptr) return;
  ::DeleteObject(font->font);
  delete font;
}

void SetFont(Window* window, int id, Font* font) {
  Control* control = Find(window, id);
  if (control == nullptr || font == nullptr) return;
  control->font = font->font;
  ::SendMessageA(control->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->font), FALSE);
}

void AddListEntry(Window* window, int id, std::string_view text) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return;
  const std::string entry(text);
  // The list sorts itself when made with CBS_SORT.
  ::SendMessageA(control->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
}

void SelectListEntry(Window* window, int id, int index) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return;
  ::SendMessageA(control->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string SelectedEntryText(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Combo) return {};
  const LRESULT index = ::SendMessageA(control->hwnd, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return {};
  const LRESULT length = ::SendMessageA(control->hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  ::SendMessageA(control->hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void SetColors(Window* window, int id, Color text, std::optional<Color> background) {
  Control* control = Find(window, id);
  if (control == nullptr) return;
  const bool sameBackground = control->background == background;
  control->colored = true;
  control->textColor = text;
  control->background = background;
  if (!sameBackground) {
    if (control->brush != nullptr) ::DeleteObject(control->brush);
    control->brush = background ? ::CreateSolidBrush(RGB(background->red, background->green, background->blue)) : nullptr;
  }
  ::InvalidateRect(control->hwnd, nullptr, TRUE);
}

void RedrawWindow(Window* window) {
  ::RedrawWindow(window->hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Beep() {
  ++beepCount;
  ::MessageBeep(MB_OK);
}

// Only the resource is looked up here; the picture is read when its control
// first paints (see PictureProcedure): a window holds several pictures of
// which one shows at a time.
bool LoadPicture(Window* window, int id, std::string_view resourceName) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Picture) return false;
  auto* previous = reinterpret_cast<HBITMAP>(::SendMessageA(control->hwnd, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (previous != nullptr && previous != control->bitmap) ::DeleteObject(previous);
  if (control->bitmap != nullptr) ::DeleteObject(control->bitmap);
  control->bitmap = nullptr;
  control->pictureSize = SIZE{0, 0};
  control->pendingPicture.clear();
  const std::string name(resourceName);
  if (!HasPictureResource(name)) return false;
  control->pendingPicture = name;
  if (::GetWindowLongPtrA(control->hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(PictureProcedure)) {
    staticProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(control->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PictureProcedure)));
  }
  ::InvalidateRect(control->hwnd, nullptr, TRUE);
  return true;
}

void DecodePicture(Control* control) {
  if (control->pendingPicture.empty()) return;
  HBITMAP bitmap = ReadPicture(control->pendingPicture);
  control->pendingPicture.clear();
  BITMAP own{};
  if (bitmap == nullptr || ::GetObjectA(bitmap, sizeof own, &own) == 0) return;
  control->pictureSize = SIZE{own.bmWidth, own.bmHeight};
  RECT room{};
  ::GetClientRect(control->hwnd, &room);
  if ((control->style & SS_REALSIZECONTROL) != 0 && (own.bmWidth != room.right || own.bmHeight != room.bottom)) {
    if (HBITMAP resized = Resized(bitmap, room.right, room.bottom)) {
      ::DeleteObject(bitmap);
      bitmap = resized;
    }
  }
  ::SendMessageA(control->hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  control->bitmap = bitmap;
}

int FocusedControl(Window* window) {
  HWND focus = ::GetFocus();
  // The edit part of a combo box is a child of the box.
  while (focus != nullptr && ::GetParent(focus) != window->hwnd) focus = ::GetParent(focus);
  if (focus == nullptr) return 0;
  const Control* control = Find(window, ::GetDlgCtrlID(focus));
  return control != nullptr && control->hwnd == focus ? ::GetDlgCtrlID(focus) : 0;
}

void SetFocus(Window* window, int id) {
  // Focus exists only in the active window: giving it to an inactive one
  // would activate it. An inactive dialog gets back on activation the
  // control it had.
  if (::GetActiveWindow() != window->hwnd) return;
  if (Control* control = Find(window, id)) {
    ::SendMessageA(window->hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->hwnd), TRUE);
  }
}

void WaitResponsively(Window* window, bool (*keepWaiting)(void* context), void* context, void* wakeUpOn) {
  window->waiting = true;
  while (keepWaiting(context)) {
    // Wakes for any message or when the handle is signalled; without a
    // handle, after a moment to ask again.
    HANDLE handle = static_cast<HANDLE>(wakeUpOn);
    ::MsgWaitForMultipleObjects(handle != nullptr ? 1 : 0, handle != nullptr ? &handle : nullptr, FALSE,
                                handle != nullptr ? INFINITE : 50, QS_ALLINPUT);
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      // What the user types or clicks meanwhile is dropped, not replayed
      // afterwards; painting and the window frame go on.
      if (IsInput(message.message)) continue;
      if (message.hwnd == nullptr) {
        if (threadMessageHook != nullptr) threadMessageHook(message);
        continue;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageA(&message);
    }
  }
  window->waiting = false;
}

namespace {

std::wstring WideFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

void ShowError(Window* window, std::string_view title, std::string_view message) {
  const std::wstring caption = WideFromUtf8(title), text = WideFromUtf8(BreakLongWords(message));
  ::MessageBoxW(window != nullptr ? window->hwnd : nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

// The sibling order is also the dialog's tab order: rather than move the
// control up, which would move it to the front of the tab order, the
// controls above it that overlap it and take no focus (pictures, labels)
// move to the bottom. Only when one of them takes the focus does the control
// itself move to the top.
void RaiseControl(Window* window, int id) {
  Control* control = Find(window, id);
  if (control == nullptr) return;
  RECT own{};
  ::GetWindowRect(control->hwnd, &own);
  std::vector<HWND> covering;
  for (HWND above = ::GetWindow(control->hwnd, GW_HWNDPREV); above != nullptr; above = ::GetWindow(above, GW_HWNDPREV)) {
    RECT other{}, common{};
    ::GetWindowRect(above, &other);
    if (!::IntersectRect(&common, &own, &other)) continue;
    if ((::GetWindowLongA(above, GWL_STYLE) & WS_TABSTOP) != 0) {
      ::SetWindowPos(control->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return;
    }
    covering.push_back(above);
  }
  for (HWND above : covering) {
    ::SetWindowPos(above, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void SetDrawing(Window* window, int id, std::vector<Shape> shapes) {
  Control* control = Find(window, id);
  if (control == nullptr || control->kind != ControlKind::Drawing) return;
  control->shapes = std::move(shapes);
  // Drawn whole in one go, from a picture of its own: no erasing first.
  ::InvalidateRect(control->hwnd, nullptr, FALSE);
}

}  // namespace halvex::ui
