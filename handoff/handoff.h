// The two ways the five room values travel between the launcher and a
// calculator: the calculator's command line (launcher to calculator) and the
// hand-off file hx.tmp (calculator to launcher). Values are plain text and
// are never converted to numbers on the way.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace halvex::handoff {

// The five room values and the place of each in the command line and in the
// file: the one place where their order is written down.
enum ValueIndex : int { kCeilingValue, kEarLevelValue, kLengthValue, kWidthValue, kSplValue, kValueCount };
using Values = std::array<std::string, kValueCount>;

inline const Values kDefaultValues{"9", "5", "20", "15", "90"};
inline constexpr std::size_t kMaxCommandLine = 256;
inline constexpr const char* kFileName = "hx.tmp";

// "HXP 9,5,20,15,90": the command, one blank, the values joined by commas
// with no quoting or trimming, cut to its first 256 characters.
std::string BuildCommandLine(std::string_view command, const Values& values);

// What a command line hands its program: the text after the command name and
// the blank that follows it (empty when the cut left nothing).
std::string ArgumentsOf(std::string_view commandLine, std::string_view command);

// The argument text of a whole command line: the program name (quoted, or up
// to the first blank or control character) and the blanks after it dropped.
std::string_view ArgumentText(std::string_view commandLine);

// Splits argument text at commas into fields; empty text gives no fields.
// Leading blanks of a field are skipped; a field opening with a double quote
// runs to the next double quote (a comma inside does not split, the rest up to
// the next comma is dropped); any other field loses its trailing blanks.
//   SplitArguments("9, 5 ,\"2,0\"x,,") == {"9", "5", "2,0", "", ""}
std::vector<std::string> SplitArguments(std::string_view argumentText);

// The file: each value between double quotes and ended by CR LF, nothing else
// (28 bytes for the defaults). A double quote inside a value is not escaped.
std::string FileBytes(const Values& values);

// Reads five values from file bytes. A value is read after skipping blanks:
// a quoted one runs to the next quote (line ends included), then blanks, tabs
// and line feeds are skipped and one comma or one CR (with its LF) consumed;
// an unquoted one runs to the next comma or CR, dropping tabs and line feeds
// inside it. The end of the bytes or a Ctrl-Z gives empty values from there on.
// A value ends at a NUL; the value after it is read as usual. A value longer
// than kMaxValueBytes keeps its first kMaxValueBytes.
Values ParseFileBytes(std::string_view bytes);

// Writes the file at `path` through platform::ReplaceWholeFile: atomically where
// the folder allows it, else in place without losing the old values to a
// full disk; a read-only file is never replaced. On failure returns false
// with the reason in `error`, which names the path.
bool WriteFile(const std::string& path, const Values& values, std::string& error);

// Each value keeps at most this much: five room values never come near it,
// and a huge file must not take the reader's memory. The rest of an overlong
// value is read past, so that the values after it still arrive.
inline constexpr std::size_t kMaxValueBytes = 1 << 20;

// Reads the file at `path` (regular files only, without blocking, a piece at
// a time). Returns false when it could not be read; `values` are then all
// empty, as for a missing file.
bool ReadFile(const std::string& path, Values& values);

}  // namespace halvex::handoff
