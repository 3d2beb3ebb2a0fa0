// Test support for the Win32 window layer: filled in with the window tests.
#include "ui/testing.h"
#include "ui/ui_win32_internal.h"
