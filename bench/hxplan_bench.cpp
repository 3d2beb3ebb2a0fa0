#include <benchmark/benchmark.h>

#include <string>

#include "cone/layout.h"
#include "coverage/planar.h"
#include "hxplan/project_reader.h"
#include "hxplan/project_report.h"

namespace {

using namespace halvex;

// A job of n rooms of every model, size and deviation, as a CSV file holds it.
std::string ProjectText(int rooms) {
  static const char* kModels[] = {"NV40", "NV50", "JR2A", "JR2B", "MW3018K", "MW3009P", "LX7R"};
  std::string text = "room,length,width,ear_level,ceiling,spl,deviation,model,zone\n";
  for (int i = 0; i < rooms; ++i) {
    text += "Room " + std::to_string(i) + "," + std::to_string(8 + i * 37 % 193) + "," +
            std::to_string(8 + i * 53 % 113) + "," + (i % 2 ? "4" : "5") + "," + std::to_string(9 + i % 8) + "," +
            std::to_string(80 + i % 21) + "," + std::to_string(i % 7) + "," + kModels[i % 7] + ",Zone " +
            std::to_string(i % 50) + "\n";
  }
  return text;
}

// Planning 10,000 rooms to JSON, from the file's text to the document.
void BM_ProjectJson(benchmark::State& state) {
  const std::string text = ProjectText(static_cast<int>(state.range(0)));
  const plan::Options options;
  for (auto _ : state) {
    plan::CsvReader csv(text);
    plan::ProjectReader reader(csv, options, {});
    plan::StringSink out;
    plan::ProjectReport report({"", 70, false, false, true}, out);
    std::string error;
    reader.ReadHeader(error);
    report.Begin();
    plan::RoomPlan room;
    plan::RowError rowError;
    for (plan::ProjectReader::Row row; (row = reader.Next(room, rowError)) != plan::ProjectReader::Row::kEnd;) {
      if (row == plan::ProjectReader::Row::kRoom) report.Room(room);
    }
    report.End();
    benchmark::DoNotOptimize(out.Text());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ProjectJson)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The coverage map of a 200 x 100 ft room 4 ft above the ears: 9 x 5
// loudspeakers at +-3 dB, 21 x 10 at +-0 dB.
void BM_Coverage200x100(benchmark::State& state) {
  RoomInputs inputs{200, 100, 5, 9, 90, static_cast<float>(state.range(0)), 0};
  LayoutResult result;
  ComputeLayoutFor(inputs, result);
  for (auto _ : state) benchmark::DoNotOptimize(ComputeCoverage(inputs, result));
  state.counters["loudspeakers"] = result.totalCount;
}
BENCHMARK(BM_Coverage200x100)->Arg(3)->Arg(0)->Unit(benchmark::kMillisecond);

// The level over a 100 x 100 ft room under C8P loudspeakers 6 ft above the
// ears, centre to centre on a hexagonal grid: 330 loudspeakers, 40,000
// cells. Arg 0 is the engine's table, arg 1 every term in full.
void BM_ConeCoverage100x100(benchmark::State& state) {
  cone::ConeInputs inputs{
      10, 4, 100, 100, 88, cone::FindConeModel("C8P"), cone::Pattern::kCentreToCentre, cone::Grid::kHexagonal};
  cone::ConeLayout layout;
  cone::ComputeConeLayout(inputs, layout);
  const CoverageMap fast = cone::ComputeConeCoverage(inputs, layout, 3);
  CoverageField field;
  field.length = inputs.roomLength;
  field.width = inputs.roomWidth;
  field.height = layout.height;
  field.columns = fast.columns;
  field.rows = fast.rows;
  field.directivity = cone::Directivity(cone::ConeModelRow(inputs.modelIndex).coverageAngle);
  const SourceRows sources = cone::ConeSources(layout, inputs.grid);
  for (auto _ : state) {
    if (state.range(0) == 0) {
      benchmark::DoNotOptimize(cone::ComputeConeCoverage(inputs, layout, 3));
    } else {
      benchmark::DoNotOptimize(ComputeLevelsDirect(field, sources));
    }
  }
  state.counters["loudspeakers"] = layout.total;
  state.counters["cells"] = static_cast<double>(fast.spl.size());
}
BENCHMARK(BM_ConeCoverage100x100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
