// The yardstick for start-up under Windows: a plain dialog of the window
// system, built from a template in memory like HXP's, with as many controls
// of the same kinds as HXP's window (edit fields, drop-down lists, labels,
// group boxes, etched lines), and nothing else: no pictures, no fonts of its
// own, no calculation. Built with HALVEX_YARDSTICK_CONE=1, the same for
// HXC's window: four lists, more labels and groups, no etched lines.
#include <windows.h>

#include <string_view>
#include <vector>

#include "ui/first_frame.h"

#ifndef HALVEX_YARDSTICK_CONE
#define HALVEX_YARDSTICK_CONE 0
#endif

namespace {

std::vector<WORD> words;

void Word(WORD value) { words.push_back(value); }
void Dword(DWORD value) {
  Word(LOWORD(value));
  Word(HIWORD(value));
}
void Text(std::string_view text) {
  for (char c : text) Word(static_cast<unsigned char>(c));
  Word(0);
}

struct Item {
  WORD kind;  // the predefined class's atom
  DWORD style;
  DWORD exStyle;
  const char* text;
  int count;
};

INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) ::EndDialog(window, 0);
  return message == WM_INITDIALOG;
}

}  // namespace

int main() {
  halvex::ui::benchmark::ExitAfterFirstFrame();
  constexpr bool kCone = HALVEX_YARDSTICK_CONE;
  const Item items[] = {
      {0x0081, WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "90", 5},
      {0x0085, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 0, "", kCone ? 4 : 2},
      {0x0080, BS_GROUPBOX, 0, "Group", kCone ? 6 : 4},
      {0x0082, SS_LEFT, 0, "Label", kCone ? 32 : 24},
      {0x0082, SS_CENTER, 0, "", 7},
      {0x0082, SS_ETCHEDFRAME, 0, "", kCone ? 0 : 10},
  };
  int total = 0;
  for (const Item& item : items) total += item.count;
  Word(1);
  Word(0xFFFF);
  Dword(0);
  Dword(WS_EX_CONTROLPARENT);
  Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT | DS_3DLOOK);
  Word(static_cast<WORD>(total));
  for (int value : {0, 0, 400, 331}) Word(static_cast<WORD>(value));
  Word(0);
  Word(0);
  Text("Minimal");
  Word(8);
  Word(FW_NORMAL);
  Word(0);
  Text("MS Sans Serif");
  // Four columns of rows, one control in each cell.
  int slot = 0, id = 100;
  for (const Item& item : items) {
    for (int i = 0; i < item.count; ++i, ++slot) {
      if (words.size() % 2 != 0) Word(0);
      Dword(0);
      Dword(item.exStyle);
      Dword(item.style | WS_CHILD | WS_VISIBLE);
      for (int value : {4 + (slot % 4) * 99, 4 + (slot / 4) * 16, 95, item.kind == 0x0085 ? 60 : 14}) {
        Word(static_cast<WORD>(value));
      }
      Dword(static_cast<DWORD>(id++));
      Word(0xFFFF);
      Word(item.kind);
      Text(item.text);
      Word(0);
    }
  }
  return static_cast<int>(::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr),
                                                    reinterpret_cast<LPCDLGTEMPLATEA>(words.data()), nullptr,
                                                    Procedure, 0));
}
