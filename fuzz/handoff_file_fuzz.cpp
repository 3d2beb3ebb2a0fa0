// The hx.tmp reader on any bytes. Properties: it reads nothing past the
// bytes, no value holds a NUL (text ends there wherever a value is shown or
// passed on), the values together are no longer than the bytes, and the
// values it read, once written with FileBytes (after dropping the double
// quotes, which the file cannot escape), read back unchanged.
#include "fuzz/fuzz_check.h"
#include "handoff/handoff.h"

namespace {

using halvex::fuzz::Shown;
namespace handoff = halvex::handoff;

std::string ShownValues(const handoff::Values& values) {
  std::string shown;
  for (const std::string& value : values) shown += " " + Shown(value);
  return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = halvex::fuzz::AsText(data, size);
  const handoff::Values values = handoff::ParseFileBytes(bytes);

  std::size_t total = 0;
  for (const std::string& value : values) {
    FUZZ_CHECK(value.find('\0') == std::string::npos, Shown(bytes) + " gives" + ShownValues(values));
    total += value.size();
  }
  FUZZ_CHECK(total <= bytes.size(), Shown(bytes) + " gives" + ShownValues(values));

  handoff::Values unquoted = values;
  for (std::string& value : unquoted) {
    std::string kept;
    for (const char c : value) {
      if (c != '"') kept += c;
    }
    value = kept;
  }
  const std::string written = handoff::FileBytes(unquoted);
  const handoff::Values back = handoff::ParseFileBytes(halvex::fuzz::ExactCopy(written).View());
  FUZZ_CHECK(back == unquoted, Shown(written) + " reads back as" + ShownValues(back));
  return 0;
}
