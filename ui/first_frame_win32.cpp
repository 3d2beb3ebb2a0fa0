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

// Sees every message a window procedure of this thread has handled. A
// window's children paint after it, each on its own message: once the first
// window has painted itself, its children are made to paint at once, and the
// frame is complete.
LRESULT CALLBACK WatchPaint(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_PAINT && ::GetAncestor(message->hwnd, GA_ROOT) == message->hwnd &&
      ::IsWindowVisible(message->hwnd)) {
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

void ExitAfterFirstFrame() { hook = ::SetWindowsHookExA(WH_CALLWNDPROCRET, WatchPaint, nullptr, ::GetCurrentThreadId()); }

}  // namespace halvex::ui::benchmark
