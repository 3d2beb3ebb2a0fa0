#include <windows.h>

#include <cstdio>

#include "ui/first_frame.h"

namespace halvex::ui::benchmark {

namespace {

HHOOK hook = nullptr;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

// Sees every message the thread takes from its queue. The first paint
// request of a window paints it and all its children at once, the frame
// complete, and ends the program.
LRESULT CALLBACK WatchPaint(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && message->message == WM_PAINT && message->hwnd != nullptr &&
      ::GetAncestor(message->hwnd, GA_ROOT) == message->hwnd && ::IsWindowVisible(message->hwnd)) {
    HWND window = message->hwnd;
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::GdiFlush();
    int controls = 1;
    ::EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&controls));
    std::fprintf(stderr, "%d widgets\n", controls);
    std::fflush(stderr);
    ::ExitProcess(0);
  }
  return ::CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void ExitAfterFirstFrame() { hook = ::SetWindowsHookExA(WH_GETMESSAGE, WatchPaint, nullptr, ::GetCurrentThreadId()); }

}  // namespace halvex::ui::benchmark
