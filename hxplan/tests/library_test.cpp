#include "hxplan/library.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "hxplan/line_loss.h"
#include "hxplan/tests/run_outcome.h"

namespace halvex::plan {
namespace {

constexpr const char* kHeader = "kind,model,sensitivity,sensitivity_at,max_power,taps,coverage_angle\n";

// Each row after a good first row: refused with its line and column, or
// taken.
TEST(Library, EveryRowIsCheckedAndNamedByLineAndColumn) {
  struct Case {
    const char* row;
    const char* error;  // empty: the row is taken
  };
  const Case cases[] = {
      {"planar,P2,90,1W/3ft,20,1 2 4 8 16,", ""},
      {"cone,K2,86,1w/1M,10,0.625 1.25 2.5,30", ""},
      {"cone,K2,86,1W/1m,10,1 2,170", ""},
      {"planar,P2,90,1W/3ft,20,1 2 4 2,", "3: column 'taps': taps must rise (2 after 4)"},
      {"planar,P2,90,1W/3ft,20,1 1,", "3: column 'taps': taps must rise (1 after 1)"},
      {"planar,P2,90,1W/3ft,20,0.75 1.5,", "3: column 'taps': .75 W is no planar tap"},
      {"cone,K2,86,1W/1m,10,1 2 4 8 16 32 64,90", "3: column 'taps': 7 taps, at most 6"},
      {"planar,P2,90,1W/3ft,20,,", "3: column 'taps': no taps"},
      {"planar,P2,69.9,1W/3ft,20,1,", "3: column 'sensitivity': 69.9 dB is outside 70 to 110 dB"},
      {"planar,P2,110.1,1W/3ft,20,1,", "3: column 'sensitivity': 110.1 dB is outside"},
      {"planar,P2,loud,1W/3ft,20,1,", "3: column 'sensitivity': 'loud' is not a number"},
      {"planar,P2,90,1W/2m,20,1,", "3: column 'sensitivity_at': '1W/2m' is not 1W/3ft or 1W/1m"},
      {"cone,K2,86,1W/1m,10,1,29.9", "3: column 'coverage_angle': 29.9 degrees is outside 30 to 170"},
      {"cone,K2,86,1W/1m,10,1,170.1", "3: column 'coverage_angle': 170.1 degrees is outside"},
      {"cone,K2,86,1W/1m,10,1,", "3: column 'coverage_angle': '' is not a number"},
      {"planar,P2,90,1W/3ft,20,1,90", "3: column 'coverage_angle': a planar model has no coverage angle"},
      {"planar,nv40,90,1W/3ft,20,1,", "3: column 'model': 'nv40' is a built-in model"},
      {"planar,C8P,90,1W/3ft,20,1,", "3: column 'model': 'C8P' is a built-in model"},
      {"cone,p1,86,1W/1m,10,1,90", "3: column 'model': 'p1' is named twice"},
      {"planar,7,90,1W/3ft,20,1,", "3: column 'model': '7' would read as a row number"},
      {"planar,TENLETTERS,90,1W/3ft,20,1,", "3: column 'model': a name of 1 to 9 characters"},
      {"dome,P2,90,1W/3ft,20,1,", "3: column 'kind': 'dome' is not planar or cone"},
      {"planar,P2,90,1W/3ft,0,1,", "3: column 'max_power': '0' is not a power above 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    Library library;
    std::string error;
    const bool read = library.Read(std::string(kHeader) + "planar,P1,90,1W/1m,16,0.5 1 2 4 8,\n" + c.row + "\n", error);
    EXPECT_EQ(read, *c.error == '\0') << error;
    EXPECT_EQ(error.substr(0, std::string(c.error).size()), c.error);
    if (!read) {
      EXPECT_EQ(library.PlanarCount() + library.ConeCount(), 0);  // nothing half read
    }
  }
}

TEST(Library, ModelsJoinTheCatalogueWithTheirSensitivityConverted) {
  Library library;
  std::string error;
  ASSERT_TRUE(library.Read(std::string(kHeader) + "planar,P1,90,1W/1m,16,0.5 1 2 4 8,\ncone,K1,90,1W/3ft,10,1 2,120\n",
                           error))
      << error;
  const long double shift = 20 * std::log10(0.9144L);  // -0.7766 dB from 3 ft to 1 m
  const LoudspeakerModel& planar = library.Planar(library.FindPlanar("p1"));
  EXPECT_EQ(library.FindPlanar("P1"), kModelCount);
  EXPECT_EQ(planar.name, "P1       ");
  EXPECT_EQ(planar.sensitivity, static_cast<float>(90 - shift));
  EXPECT_EQ(planar.maxTap, 8);
  const cone::ConeModel& cone = library.Cone(library.FindCone("k1"));
  EXPECT_EQ(library.FindCone("K1"), cone::kConeModelCount);
  EXPECT_EQ(cone.sensitivity, static_cast<double>(90 + shift));
  EXPECT_EQ(cone.HighestTap(), 2);
  EXPECT_EQ(library.Planar(0).name, kCatalogueRows[0].name);

  // A room names a library model as it names a built-in one; a clash of a
  // library's names with the built-in ones is refused with its line.
  const Outcome o = RunWith({"--library", HALVEX_SOURCE_DIR "/docs/example-library.csv", "--project",
                             HALVEX_SOURCE_DIR "/docs/example-library-project.csv", "--metric"});
  EXPECT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(Has(o.out, "Stock room [Back]: 40 x 25 m")) << o.out;
  EXPECT_TRUE(Has(o.out, "  GC8       12\n")) << o.out;
}

// Hand-worked: R = 2 x run x ohms per length, Z = V² / taps,
// loss = 20 log10((Z + R) / Z), the longest run R(0.5 dB) = Z (10^0.025 - 1).
TEST(LineLoss, HandWorkedZones) {
  struct Case {
    long double runFeet;
    const char* cable;
    long double taps, volts;
    long double lossDb, powerLost, maxRun;
    const char* larger;  // when over 0.5 dB; "" for none
  };
  const Case cases[] = {
      // R = 0.80284, Z = 83.308: 0.0833 dB, 1.90 %, within up to 614.85 ft.
      {100, "16AWG", 60, 70.7L, 0.08331L, 1.8999L, 614.85L, nullptr},
      // 60 m of 0.75 mm²: R = 3.12, Z = 24.031: 1.0603 dB, 21.66 %; 1.5 mm² is still 0.56 dB.
      {60 / 0.3048L, "0.75mm2", 208, 70.7L, 1.06027L, 21.662L, 89.841L, "2.5mm2"},
      // 100 V: R = 6.38556, Z = 100: 0.5377 dB, just over.
      {500, "18AWG", 100, 100, 0.53765L, 11.644L, 463.97L, "16AWG"},
      // Nothing thicker than 10AWG in the table.
      {3000, "10awg", 200, 70.7L, 1.86697L, 34.942L, 741.32L, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cable);
    const LineLoss loss = ComputeLineLoss(c.runFeet, FindCable(c.cable), c.taps, c.volts);
    EXPECT_NEAR(static_cast<double>(loss.lossDb), static_cast<double>(c.lossDb), 1e-4);
    EXPECT_NEAR(static_cast<double>(loss.powerLost), static_cast<double>(c.powerLost), 1e-3);
    EXPECT_NEAR(static_cast<double>(loss.maxRunFeet), static_cast<double>(c.maxRun), 1e-2);
    EXPECT_EQ(loss.over, c.larger != nullptr);
    const std::string larger = loss.largerCable >= 0 ? std::string(kCables[loss.largerCable].name) : "";
    EXPECT_EQ(larger, c.larger != nullptr ? c.larger : "");
  }
  EXPECT_EQ(FindCable("1.5 mm\xc2\xb2"), FindCable("1.5mm2"));
  EXPECT_EQ(FindCable("15AWG"), -1);
  EXPECT_FALSE(ComputeLineLoss(1000, 0, 0, 70.7L).over);  // no load, no loss

  // In a project: the longest run and the thinnest cable of a zone count,
  // a room without them is left out and said so.
  const Outcome o = RunWith({"--library", HALVEX_SOURCE_DIR "/docs/example-library.csv", "--project",
                             HALVEX_SOURCE_DIR "/docs/example-library-project.csv", "--metric"});
  EXPECT_TRUE(Has(o.out, "line 60 m of 0.75mm2, loss 1.06 dB (21.7 % of the power) over .5 dB: at most 27.3 m of "
                         "0.75mm2, or 2.5mm2\n"))
      << o.out;
  const Outcome feet = RunWith({"--project", HALVEX_SOURCE_DIR "/docs/example-project.csv", "--json"});
  EXPECT_TRUE(Has(feet.out, "\"line\": {\"run\": 320, \"cable\": \"16AWG\"")) << feet.out;
  EXPECT_TRUE(Has(feet.out, "\"roomsLeftOut\": 1}")) << feet.out;
}

}  // namespace
}  // namespace halvex::plan

namespace halvex::plan {
namespace {

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The report stands alone (nothing fetched, nothing run) and holds a page
// per room with its plan, the library's models marked, a line over the
// limit flagged, and the project's revision in its title block when the
// rows give one.
TEST(HtmlReport, OneSelfContainedDocumentWithAPagePerRoom) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::string report = (dir / "hxplan-report-test.html").string();
  const std::string revised = (dir / "hxplan-report-revised.csv").string();
  {
    std::ofstream file(revised, std::ios::binary);
    file << "room,length,width,ear_level,ceiling,spl,revision\n"
            "Hall,40,30,5,12,90\n"
            "Stage,20,15,5,12,90,C & 2\n"
            "Foyer,30,20,5,9,88,C & 2\n"
            "Bar,20,10,5,9,88,D\n";
  }
  const std::string docs = HALVEX_SOURCE_DIR "/docs/";
  const struct {
    std::vector<std::string> arguments;
    std::size_t rooms;
    std::vector<std::string> present, absent;
    int status;
    std::string err;  // a row's message
  } cases[] = {
      {{"--library", docs + "example-library.csv", "--project", docs + "example-library-project.csv", "--metric",
        "--coverage"},
       4,
       {"<td>GC8 (library)</td><td>cone</td><td class=\"n\">12</td>", "<td>C4</td><td>cone</td>",
        "<td class=\"line over\">line 60 m of 0.75mm2, loss 1.06 dB", "<h2>Office <small>(zone Back)</small></h2>\n<p>16 x 12 m, 192 m², 2 x 2 = 4 C4 cone",
        "<title>example-library-project.csv</title>"},
       {"<th>Revision</th>"},
       0,
       ""},
      {{"--project", docs + "example-project.csv"},
       5,
       {"<h1>example-project.csv</h1>", "<tr><th>Revision</th><td>B</td></tr>",
        "<title>example-project.csv, revision B</title>"},
       {"(library)"},
       0,
       ""},
      // Given by a later row, escaped, and another one refused.
      {{"--project", revised},
       3,
       {"<tr><th>Revision</th><td>C &amp; 2</td></tr>", "<title>hxplan-report-revised.csv, revision C &amp; 2</title>"},
       {"C & 2", ">Bar<"},
       1,
       ".csv:5: revision 'D' differs from 'C & 2' of line 3\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.back());
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.end(), {"--report", report});
    const Outcome o = RunWith(arguments);
    ASSERT_EQ(o.status, c.status) << o.err;
    EXPECT_TRUE(Has(o.err, c.err)) << o.err;
    std::string html;
    {
      std::ifstream file(report, std::ios::binary);  // closed before the removal, which Windows needs
      html.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove(report);
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_EQ(Count(html, "<section class=\"room\">"), c.rooms);
    EXPECT_EQ(Count(html, "<svg xmlns="), c.rooms);
    for (const char* external : {"<script", "src=", "href=", "url(h", "url(f", "@import", "<link"}) {
      EXPECT_EQ(Count(html, external), 0u) << external;
    }
    for (const std::string& part : c.present) EXPECT_TRUE(Has(html, part)) << part;
    for (const std::string& part : c.absent) EXPECT_FALSE(Has(html, part)) << part;
  }
  std::filesystem::remove(revised);
}

}  // namespace
}  // namespace halvex::plan
