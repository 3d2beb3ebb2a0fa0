// What the fuzz targets share: a property that does not hold aborts, which
// libFuzzer reports as a finding and a corpus replay as a failed test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// `detail` is only evaluated when the property fails.
#define FUZZ_CHECK(condition, detail)                                                        \
  do {                                                                                       \
    if (!(condition)) ::halvex::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));       \
  } while (0)

namespace halvex::fuzz {

[[noreturn]] inline void Fail(const char* file, int line, const char* condition, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: property does not hold: %s\n  %s\n", file, line, condition, detail.c_str());
  std::abort();
}

// Text with its control bytes and quotes escaped, for the failure messages.
inline std::string Shown(std::string_view text) {
  std::string shown = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      shown += escaped;
    } else {
      shown += c;
    }
  }
  return shown + "\"";
}

// A heap copy of exactly the text's size, so that AddressSanitizer catches a
// read past its end (std::string would hide one behind its NUL and spare room).
class ExactCopy {
 public:
  explicit ExactCopy(std::string_view text) : bytes_(new char[text.size()]), size_(text.size()) {
    if (size_ > 0) std::memcpy(bytes_.get(), text.data(), size_);
  }
  std::string_view View() const { return {bytes_.get(), size_}; }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_;
};

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

}  // namespace halvex::fuzz
