// For start-up benchmarks only: ends the program the moment its first window
// has painted its first frame, so that a program's run time is its time to the
// first frame and its peak memory that of a started program.
#pragma once

namespace halvex::ui::benchmark {

// Call once the application object exists and before any window shows. When
// the first window's first frame is painted, writes "<n> widgets" (the
// widgets of that window, itself included) to standard error and ends the
// process at once, without tearing anything down.
void ExitAfterFirstFrame();

}  // namespace halvex::ui::benchmark
