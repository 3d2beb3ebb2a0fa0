#include "hxplan/run.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <utility>

#include "common/number_text.h"
#include "coverage/planar.h"
#include "halvex/version.h"
#include "hxplan/cone_plan.h"
#include "hxplan/drawing.h"
#include "hxplan/file_system.h"
#include "hxplan/options.h"
#include "hxplan/plan.h"
#include "hxplan/project_reader.h"
#include "hxplan/project_report.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

// Reads in pieces rather than by the file's size, so that pipes and
// /dev/stdin work too, and stops once the text is too large for a project.
bool ReadFileText(const std::string& path, std::string& text, std::string& error) {
  if (IsDirectory(path)) {
    error = Printable(path) + " is a directory, not a project file";
    return false;
  }
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) {
    error = "cannot open " + Printable(path) + ": " + std::strerror(errno);
    return false;
  }
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, got);
    if (text.size() > kMaxProjectBytes) {
      std::fclose(file);
      error = Printable(path) + " is too large for a project (more than " + std::to_string(kMaxProjectBytes >> 20) +
              " MiB)";
      return false;
    }
  }
  const bool failed = std::ferror(file) != 0;
  const int readError = errno;
  std::fclose(file);
  if (failed) {
    error = "cannot read " + Printable(path) + ": " + std::strerror(readError);
    return false;
  }
  return true;
}

// The room of the command line as a project of one room.
bool CommandLineProject(const Options& options, bool metric, Project& project, std::string& error) {
  RoomPlan room;
  room.line = 0;
  room.name = room.zone = "room";
  RoomInputs& in = room.inputs;
  in.ceilingHeight = LengthInFeet(options.values[handoff::kCeilingValue], metric);
  in.earLevel = LengthInFeet(options.values[handoff::kEarLevelValue], metric);
  in.roomLength = LengthInFeet(options.values[handoff::kLengthValue], metric);
  in.roomWidth = LengthInFeet(options.values[handoff::kWidthValue], metric);
  in.targetSpl = static_cast<float>(std::fabs(ParseNumber(options.values[handoff::kSplValue])));
  in.splDeviation = static_cast<float>(options.deviation);
  in.modelIndex = options.modelIndex;
  if (options.cone) {
    room.cone = true;
    room.coneInputs = ConeInputsFor(options);
    cone::ConeInputs& c = room.coneInputs;
    c.ceilingHeight = in.ceilingHeight;
    c.earLevel = in.earLevel;
    c.roomLength = in.roomLength;
    c.roomWidth = in.roomWidth;
    in.modelIndex = 0;
    const cone::ConeStatus status = cone::ComputeConeLayout(c, room.coneLayout);
    if (status != cone::ConeStatus::kPlanned) {
      error = cone::ConeStatusText(status);
      return false;
    }
    project.rooms.push_back(std::move(room));
    return true;
  }
  if (!ComputeLayoutFor(in, room.result)) {
    error = WhyNotPlanned(in);
    return false;
  }
  project.rooms.push_back(std::move(room));
  return true;
}

bool WriteText(const std::string& path, const std::string& text, std::string& error) {
  std::FILE* file = OpenFile(path, "wb");
  bool written = file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
  int writeError = errno;
  if (file != nullptr && std::fclose(file) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    error = "cannot write " + Printable(path) + ": " + std::strerror(writeError);
    return false;
  }
  return true;
}

// Plans the project file, or the one room of the command line when options
// of projects are given without a file.
int RunProject(const Options& options, const ProjectOptions& projectOptions, std::string& out, std::string& err) {
  Project project;
  std::string error;
  if (projectOptions.file.empty()) {
    if (!CommandLineProject(options, projectOptions.metric, project, error)) {
      err = "hxplan: " + error + "\n";
      return 2;
    }
  } else {
    // Room values are only noticed when they differ from the default room.
    if (options.values != handoff::kDefaultValues) {
      err = "hxplan: room values and --project do not go together\n";
      return 2;
    }
    std::string text;
    if (!ReadFileText(projectOptions.file, text, error)) {
      err = "hxplan: " + error + "\n";
      return 2;
    }
    if (!ReadProject(text, options, projectOptions.metric, project, error)) {
      err = "hxplan: " + Printable(projectOptions.file) + ": " + error + "\n";
      return 2;
    }
  }
  for (const RowError& e : project.errors) {
    err += "hxplan: " + Printable(projectOptions.file) + ":" + std::to_string(e.line) + ": " + e.reason + "\n";
  }
  int status = project.errors.empty() ? 0 : 1;
  // Each room's map lives only while its drawing is written.
  std::set<std::string> used;
  bool drawing = !projectOptions.svgDir.empty();
  if (drawing) {
    const int failure = MakeDirectories(projectOptions.svgDir);
    if (!IsDirectory(projectOptions.svgDir)) {
      err += "hxplan: cannot make the directory " + Printable(projectOptions.svgDir) + ": " +
             (failure != 0 ? std::strerror(failure) : "a file of that name is in the way") + "\n";
      status = 1;
      drawing = false;
    }
  }
  for (RoomPlan& room : project.rooms) {
    CoverageMap map;
    if (projectOptions.coverage) {
      map = room.cone ? cone::ComputeConeCoverage(room.coneInputs, room.coneLayout, room.inputs.splDeviation)
                      : ComputeCoverage(room.inputs, room.result);
      room.coverage = map.summary;
    }
    if (!drawing) continue;
    const std::string path = PathIn(projectOptions.svgDir, FileNameFor(room.name, used) + ".svg");
    if (!WriteText(
            path,
            RoomSvg(room, projectOptions.metric, projectOptions.lineVolts, projectOptions.coverage ? &map : nullptr),
            error)) {
      err += "hxplan: " + error + "\n";
      status = 1;
    }
  }
  if (projectOptions.csvPositions) {
    std::vector<std::string> skipped;
    out = PositionsCsv(project.rooms, projectOptions.metric, skipped);
    for (const std::string& name : skipped) {
      err += "hxplan: " + Printable(name) + ": too many loudspeakers to list\n";
      status = 1;
    }
    return status;
  }
  const ProjectReport report = MakeReport(
      project, {projectOptions.file, projectOptions.lineVolts, projectOptions.metric, projectOptions.coverage});
  out = options.json ? ReportJson(report) : ReportText(report);
  return status;
}

}  // namespace

int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
  CommandLine line;
  std::string error;
  if (!ParseArguments(arguments, line, error)) {
    err = "hxplan: " + Printable(error) + "\n";
    return 2;
  }
  if (line.help) {
    out = Usage();
    return 0;
  }
  if (line.version) {
    out = std::string("hxplan ") + HALVEX_VERSION + "\n";
    return 0;
  }
  if (line.project.Used()) return RunProject(line.options, line.project, out, err);
  if (line.options.cone) {
    const cone::ConeInputs inputs = ConeInputsFor(line.options);
    cone::ConeLayout layout;
    const cone::ConeStatus status = cone::ComputeConeLayout(inputs, layout);
    if (status != cone::ConeStatus::kPlanned) {
      err = "hxplan: " + cone::ConeStatusText(status) + "\n";
      return 2;
    }
    const CoverageMap map = cone::ComputeConeCoverage(inputs, layout, line.options.deviation);
    out = line.options.json ? JsonConePlan(inputs, layout, map, line.options.deviation)
                            : PlainConePlan(inputs, layout, map, line.options.deviation);
    return 0;
  }
  const RoomInputs inputs = InputsFor(line.options);
  LayoutResult result;
  if (!ComputeLayoutFor(inputs, result)) {
    err = "hxplan: " + WhyNotPlanned(inputs) + "\n";
    return 2;
  }
  out = line.options.json ? JsonPlan(inputs, result) : PlainPlan(inputs, result);
  return 0;
}

}  // namespace halvex::plan
