// The trace of the texts set on controls, through the layer's text hook:
// the same on every backend.
#include <cstdio>

#include "ui/testing.h"
#include "ui/window_state.h"

namespace halvex::ui::testing {

namespace {

FILE* traceFile = nullptr;

void TraceText(int id, std::string_view text) {
  std::fprintf(traceFile, "%d\t%.*s\n", id, static_cast<int>(text.size()), text.data());
  std::fflush(traceFile);
}

}  // namespace

void TraceTextsTo(const std::string& path) {
  if (traceFile != nullptr) std::fclose(traceFile);
  traceFile = std::fopen(path.c_str(), "ab");
  textObserver = traceFile != nullptr ? TraceText : nullptr;
}

}  // namespace halvex::ui::testing
