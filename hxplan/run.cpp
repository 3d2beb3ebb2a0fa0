#include "hxplan/run.h"

#include <algorithm>
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
#include "hxplan/csv.h"
#include "hxplan/drawing.h"
#include "hxplan/file_system.h"
#include "hxplan/html_report.h"
#include "hxplan/library.h"
#include "hxplan/options.h"
#include "hxplan/plan.h"
#include "hxplan/project_reader.h"
#include "hxplan/project_report.h"
#include "hxplan/texts.h"

namespace halvex::plan {

namespace {

// A run that ends before its plan: the message on stderr and, for a program
// that reads the JSON, as a document of its own.
int Fail(const std::string& message, int status, bool json, TextSink& out, TextSink& err) {
  err.Write("hxplan: " + message + "\n");
  if (json) out.Write("{\"error\": " + Quote(message) + "}\n");
  return status;
}

// The room of the command line as a project's room. The drawings, the
// positions and the coverage need a real room, so its values are held to
// the same limits as a project's rows.
bool CommandLineRoom(const Options& options, bool metric, RoomPlan& room, std::string& error) {
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
  error = WhyNotARoom(in, metric);
  if (!error.empty()) return false;
  if (options.cone) {
    room.cone = true;
    room.coneInputs = ConeInputsFor(options);
    cone::ConeInputs& c = room.coneInputs;
    c.ceilingHeight = in.ceilingHeight;
    c.earLevel = in.earLevel;
    c.roomLength = in.roomLength;
    c.roomWidth = in.roomWidth;
    in.modelIndex = 0;
    room.coneModel = ConeModelOf(options.library, c.modelIndex);
    room.libraryModel = Library::IsLibraryCone(c.modelIndex);
    const cone::ConeStatus status = cone::ComputeConeLayout(c, room.coneModel, room.coneLayout);
    if (status != cone::ConeStatus::kPlanned) {
      error = cone::ConeStatusText(status);
      return false;
    }
  } else {
    room.model = PlanarModelOf(options.library, in.modelIndex);
    room.libraryModel = Library::IsLibraryPlanar(in.modelIndex);
    if (!ComputeLayoutFor(in, room.model, room.result)) {
      error = WhyNotPlanned(in);
      return false;
    }
  }
  error = WhyTooLarge(room);
  return error.empty();
}

// A plan goes into the folder only as a file of its own: never through a
// link, and over an existing file only when that is a plan hxplan drew of
// the same project. The file is written beside and renamed into place.
bool WritePlan(const std::string& path, const std::string& svg, const std::string& mark, std::string& error) {
  const platform::FileStatus there = platform::LinkStatusOf(path);
  if (there.exists) {
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + mark + "\n";
    std::string found(head.size(), '\0');
    platform::InputFile file;
    std::size_t got = 0;
    if (there.regular && file.Open(path, false)) {
      while (got < found.size()) {
        const std::size_t more = file.Read(&found[got], found.size() - got);
        if (more == 0) break;
        got += more;
      }
    }
    if (got != head.size() || found != head) {
      error = Printable(path) + " is there and is not a plan hxplan drew of this project (" +
              (there.link ? "a link" : there.regular ? "another file" : "not a file") +
              "): left as it is; remove it or choose another --svg folder";
      return false;
    }
  }
  return platform::ReplaceWholeFile(path, svg, error);
}

// The whole library file at once: it holds a few models, not a building.
bool ReadLibrary(const std::string& path, Library& library, std::string& error) {
  errno = 0;
  std::FILE* file = IsDirectory(path) ? nullptr : OpenFile(path, "rb");
  if (file == nullptr) {
    error = "cannot open the library " + Printable(path) + (errno != 0 ? std::string(": ") + std::strerror(errno) : "");
    return false;
  }
  std::string text;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    error = "cannot read the library " + Printable(path);
    return false;
  }
  if (!library.Read(text, error)) {
    error = Printable(path) + ":" + error;
    return false;
  }
  return true;
}

// The options that shape a plan, as the report's title block names them.
std::string OptionWords(const Options& options, const ProjectOptions& project) {
  std::string words = "deviation +-" + std::to_string(options.deviation) + " dB, " +
                      (project.lineVolts == 100 ? "100 V line" : "70.7 V line") +
                      (project.metric ? ", metres" : ", feet");
  if (project.coverage) words += ", coverage checked";
  if (options.library != nullptr) words += ", with a loudspeaker library";
  return words;
}

class ProjectRun {
 public:
  ProjectRun(const Options& options, const ProjectOptions& project, TextSink& out, TextSink& err)
      : options_(options),
        project_(project),
        out_(out),
        err_(err),
        report_({project.file, project.lineVolts, project.metric, project.coverage, options.json}, out),
        mark_(PlanMark(BaseNameOf(project.file))),
        html_({project.file.empty() ? "command line" : BaseNameOf(project.file), OptionWords(options, project),
               project.lineVolts, project.metric, {}}) {}

  int Run();

 private:
  static std::string BaseNameOf(const std::string& path) { return path.empty() ? path : platform::BaseNameOf(path); }
  void Begin();
  void Room(RoomPlan& room);
  void Error(const RowError& error);
  int End();

  const Options& options_;
  const ProjectOptions& project_;
  TextSink& out_;
  TextSink& err_;
  ProjectReport report_;
  std::string mark_;
  HtmlReport html_;
  bool drawing_ = false;
  std::set<std::string> used_;  // the drawings' names, folded
  std::string positions_;       // one room's, its memory kept
  int status_ = 0;
};

void ProjectRun::Begin() {
  drawing_ = !project_.svgDir.empty();
  if (drawing_) {
    const int failure = MakeDirectories(project_.svgDir);
    if (!IsDirectory(project_.svgDir)) {
      err_.Write("hxplan: cannot make the directory " + Printable(project_.svgDir) + ": " +
                 (failure != 0 ? std::strerror(failure) : "a file of that name is in the way") + "\n");
      status_ = 1;
      drawing_ = false;
    }
  }
  if (project_.csvPositions) {
    out_.Write(PositionsCsvHeader(project_.metric));
  } else {
    report_.Begin();
  }
}

void ProjectRun::Room(RoomPlan& room) {
  // The map lives only while the room's drawing is written.
  CoverageMap map;
  if (project_.coverage) {
    map = room.cone
              ? cone::ComputeConeCoverage(room.coneInputs, room.coneModel, room.coneLayout, room.inputs.splDeviation)
              : ComputeCoverage(room.inputs, room.model, room.result);
    room.coverage = map.summary;
  }
  const bool reporting = !project_.report.empty();
  std::string svg;
  if (drawing_ || reporting) {
    svg = RoomSvg(room, project_.metric, project_.lineVolts, project_.coverage ? &map : nullptr,
                  BaseNameOf(project_.file));
  }
  if (reporting) html_.Room(room, svg);
  if (drawing_) {
    const std::string name = FileNameFor(room.name, used_) + ".svg";
    std::string error;
    if (WritePlan(PathIn(project_.svgDir, name), svg, mark_, error)) {
      room.drawing = name;
    } else {
      err_.Write("hxplan: " + error + "\n");
      status_ = 1;
    }
  }
  if (project_.csvPositions) {
    positions_.clear();
    if (AddPositions(room, project_.metric, positions_)) {
      out_.Write(positions_);
    } else {
      err_.Write("hxplan: " + Printable(room.name) + ": too many loudspeakers to list\n");
      status_ = 1;
    }
    return;
  }
  report_.Room(room);
}

void ProjectRun::Error(const RowError& error) {
  err_.Write("hxplan: " + Printable(project_.file) + ":" + std::to_string(error.line) + ": " + error.reason + "\n");
  report_.Error(error);
  status_ = 1;
}

int ProjectRun::End() {
  if (!project_.csvPositions) report_.End();
  std::string error;
  if (!project_.report.empty() && !platform::ReplaceWholeFile(project_.report, html_.Finish(), error)) {
    err_.Write("hxplan: " + error + "\n");
    status_ = 1;
  }
  if (project_.strict && report_.CoverageFailures() > 0 && status_ == 0) status_ = 1;
  return status_;
}

// Plans the project file row by row, or the one room of the command line
// when options of projects are given without a file.
int ProjectRun::Run() {
  const bool json = options_.json;
  if (project_.file.empty()) {
    RoomPlan room;
    std::string error;
    if (!CommandLineRoom(options_, project_.metric, room, error)) return Fail(error, 2, json, out_, err_);
    Begin();
    Room(room);
    return End();
  }
  // Room values are only noticed when they differ from the default room.
  if (options_.values != handoff::kDefaultValues) {
    return Fail("room values and --project do not go together", 2, json, out_, err_);
  }
  const std::string& path = project_.file;
  if (IsDirectory(path)) return Fail(Printable(path) + " is a directory, not a project file", 2, json, out_, err_);
  // Read in pieces rather than by the file's size, so that pipes and
  // /dev/stdin work too.
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return Fail("cannot open " + Printable(path) + ": " + std::strerror(errno), 2, json, out_, err_);
  int readError = 0;
  CsvReader csv([&](char* buffer, std::size_t size) {
    const std::size_t got = std::fread(buffer, 1, size, file);
    if (got == 0 && std::ferror(file)) readError = errno != 0 ? errno : EIO;
    return got;
  });
  ProjectReader reader(csv, options_, {project_.metric, project_.ignoreUnknownColumns, project_.latin1});
  std::string error;
  if (!reader.ReadHeader(error)) {
    std::fclose(file);
    return Fail(Printable(path) + ": " + error, 2, json, out_, err_);
  }
  Begin();
  RoomPlan room;
  RowError rowError;
  for (ProjectReader::Row row; (row = reader.Next(room, rowError)) != ProjectReader::Row::kEnd;) {
    if (row == ProjectReader::Row::kRoom) {
      Room(room);
    } else {
      Error(rowError);
    }
  }
  std::fclose(file);
  report_.SetRevision(reader.Revision());
  html_.SetRevision(reader.Revision());
  if (readError != 0) {
    // The rooms read so far are planned and totalled; the rest is missing.
    Error({0, std::string("cannot read the rest of the file: ") + std::strerror(readError)});
    status_ = 2;
  }
  return End();
}

}  // namespace

int Run(const std::vector<std::string>& arguments, TextSink& out, TextSink& err) {
  CommandLine line;
  std::string error;
  if (!ParseArguments(arguments, line, error)) {
    const auto end = std::find(arguments.begin(), arguments.end(), "--");
    return Fail(Printable(error), 2, std::find(arguments.begin(), end, "--json") != end, out, err);
  }
  if (line.help) {
    out.Write(Usage());
    return 0;
  }
  if (line.version) {
    out.Write(std::string("hxplan ") + HALVEX_VERSION + "\n");
    return 0;
  }
  Library library;
  if (!line.library.empty()) {
    if (!ReadLibrary(line.library, library, error)) return Fail(error, 2, line.options.json, out, err);
    line.options.library = &library;
    if (!ResolveModel(line, error)) return Fail(Printable(error), 2, line.options.json, out, err);
  }
  if (line.project.Used()) return ProjectRun(line.options, line.project, out, err).Run();
  // One room without the options of projects: what the window would show,
  // whatever the values.
  const Library* models = line.options.library;
  if (line.options.cone) {
    const cone::ConeInputs inputs = ConeInputsFor(line.options);
    const cone::ConeModel& model = ConeModelOf(models, inputs.modelIndex);
    cone::ConeLayout layout;
    const cone::ConeStatus status = cone::ComputeConeLayout(inputs, model, layout);
    if (status != cone::ConeStatus::kPlanned) {
      return Fail(cone::ConeStatusText(status), 2, line.options.json, out, err);
    }
    const CoverageMap map = cone::ComputeConeCoverage(inputs, model, layout, line.options.deviation);
    out.Write(line.options.json ? JsonConePlan(inputs, model, layout, map, line.options.deviation)
                                : PlainConePlan(inputs, model, layout, map, line.options.deviation));
    return 0;
  }
  const RoomInputs inputs = InputsFor(line.options);
  const LoudspeakerModel& model = PlanarModelOf(models, inputs.modelIndex);
  LayoutResult result;
  if (!ComputeLayoutFor(inputs, model, result)) return Fail(WhyNotPlanned(inputs), 2, line.options.json, out, err);
  out.Write(line.options.json ? JsonPlan(inputs, model, result) : PlainPlan(inputs, model, result));
  return 0;
}

int Run(const std::vector<std::string>& arguments, std::string& out, std::string& err) {
  StringSink outSink, errSink;
  const int status = Run(arguments, outSink, errSink);
  out = outSink.Text();
  err = errSink.Text();
  return status;
}

}  // namespace halvex::plan
