// Starting a calculator as a child process and noticing its end, without the
// window layer: the launcher waits through ui::WaitResponsively and asks
// HasEnded on every turn.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace halvex::launcher {

// Where a program named `name` is found: in `ownDirectory` first, then in each
// directory of `searchPath` (separated by colons, on Windows by semicolons) in turn. Empty entries of the
// search path are skipped: the current directory is never searched unless the
// path names it. A candidate must be a regular file with execute permission.
// Returns the path, or empty with `error` set to EACCES when a candidate was
// found but none could be run, or ENOENT when there was none.
//   FindProgram("HXP", "/opt/hx", "/usr/bin::/bin", e) == "/opt/hx/HXP"  (when there)
//   FindProgram("HXP", "/opt/hx", "", e) == "" with e == ENOENT          (when not)
std::string FindProgram(std::string_view name, std::string_view ownDirectory, std::string_view searchPath,
                        int& error);

// The directory of the running program, as the system knows it (empty when
// it cannot say).
std::string OwnDirectory();

// The search path of the environment, or the system's default when PATH is unset.
std::string SearchPath();

// Starts `name`, looked up by FindProgram in OwnDirectory() and SearchPath(),
// with exactly one argument (blanks and commas in it are kept), in the current
// directory, with the launcher's environment and none of its open files but
// the standard ones. Returns the child's id, or -1 with the reason in `error`
// (an errno value).
pid_t StartProgram(std::string_view name, const std::string& argument, int& error);

// True once the child has ended in any way (it is reaped then); never blocks.
bool HasEnded(pid_t child);

// What the window system signals when the child ends, for ui::WaitResponsively
// to wake on (the process handle on Windows; none elsewhere).
void* EndSignal(pid_t child);

}  // namespace halvex::launcher
