#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "calc/layout.h"
#include "calc/result_texts.h"
#include "common/number_text.h"

namespace {

using namespace halvex;

RoomInputs DefaultRoom() {
  RoomInputs inputs;
  inputs.roomLength = 20;
  inputs.roomWidth = 15;
  inputs.earLevel = 5;
  inputs.ceilingHeight = 9;
  inputs.targetSpl = 90;
  inputs.splDeviation = 3;
  return inputs;
}

// The ten values a keystroke shows.
template <typename Format>
void FormatResults(const LayoutResult& r, const LoudspeakerModel& model, Format format) {
  format(static_cast<long double>(r.spacingX) / 2);
  format(r.spacingX);
  format(static_cast<long double>(r.spacingY) / 2);
  format(r.spacingY);
  format(r.totalCount);
  format(r.nominalSpacing);
  format(model.sensitivity);
  format(r.powerRequired);
  format(model.maxPower);
  format(r.tap);
}

// Reads a typed SPL, calculates, and formats the ten result values.
template <typename Format>
void Keystroke(benchmark::State& state, Format format) {
  RoomInputs inputs = DefaultRoom();
  LayoutResult result;
  const char* typed[] = {"105", "90", "-95.5", "1e2"};
  std::size_t i = 0;
  for (auto _ : state) {
    inputs.targetSpl = static_cast<float>(std::fabs(ParseNumber(typed[i++ % 4])));
    ComputeLayoutFor(inputs, result);
    FormatResults(result, kCatalogueRows[0], format);
  }
}

void BM_KeystrokeWithFormatNumber(benchmark::State& state) {
  Keystroke(state, [](long double v) {
    std::string text = FormatNumber(v, kDisplayDigits, true);
    benchmark::DoNotOptimize(text);
  });
}
BENCHMARK(BM_KeystrokeWithFormatNumber);

// The yardstick: the C library's formatting of the same values.
void BM_KeystrokeWithSnprintf(benchmark::State& state) {
  Keystroke(state, [](long double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.7Lg", v);
    benchmark::DoNotOptimize(text);
  });
}
BENCHMARK(BM_KeystrokeWithSnprintf);

void BM_ComputeLayout(benchmark::State& state) {
  const RoomInputs inputs = DefaultRoom();
  LayoutResult result;
  for (auto _ : state) {
    ComputeLayoutFor(inputs, result);
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_ComputeLayout);

void BM_FormatNumber(benchmark::State& state) {
  const long double values[] = {0.7L, 22.3f, 1234567.5L, 7.3f / 2.0L, 0.00012345L};
  std::size_t i = 0;
  for (auto _ : state) {
    std::string text = FormatNumber(values[i++ % 5], 7, true);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_FormatNumber);

void BM_ParseNumber(benchmark::State& state) {
  const char* texts[] = {"105", "  12.5", "-20", "1e40", "&HFFFF"};
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(ParseNumber(texts[i++ % 5]));
}
BENCHMARK(BM_ParseNumber);

}  // namespace
