// "Planar" and "Cone" pressed in a real choice window: which program starts,
// the one argument it gets, and what comes back from hx.tmp. The calculator
// is the stand-in built beside this test program (see stand_in_hxc.cpp); each
// test runs in a fresh current directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "launcher/program_start.h"
#include "launcher/tests/choice_window_start.h"
#include "tests/support/temp_directory.h"
#include "ui/testing.h"
#include "ui/ui.h"

namespace halvex::launcher {
namespace {

namespace fs = std::filesystem;
using namespace test_support;
namespace t = ui::testing;
using handoff::Values;

struct StandInRun {
  std::string name, cwd;
  std::vector<std::string> args;
};

const Values kStartValues{"8", "4", "30", "25", "85"};

class RoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    t::AnswerMessageBoxes();
    t::TakeAnsweredMessageBoxes();
    if (const char* path = std::getenv("PATH")) savedPath_ = path;
    ::setenv("HALVEX_STAND_IN_LOG", LogPath().c_str(), 1);
    BuildChoiceWindow();
    ui::ShowWindow(ChoiceWindow());
  }

  void TearDown() override {
    DestroyChoiceWindow();
    for (const char* name : {"HALVEX_STAND_IN_LOG", "HALVEX_STAND_IN_WRITE", "HALVEX_STAND_IN_WRITE_FROM",
                             "HALVEX_STAND_IN_REPLACE", "HALVEX_STAND_IN_GO", "HALVEX_STAND_IN_CRASH"}) {
      ::unsetenv(name);
    }
    if (savedPath_) ::setenv("PATH", savedPath_->c_str(), 1);
  }

  fs::path LogPath() const { return temp_.Path() / "stand-in.log"; }
  static fs::path StandIn() { return fs::path(OwnDirectory()) / "HXC"; }

  // The runs of the stand-in since the log was last cleared.
  std::vector<StandInRun> Runs() const {
    std::vector<StandInRun> runs;
    const std::string log = ReadBytes(LogPath());
    std::size_t start = 0;
    while (start < log.size()) {
      const std::size_t end = log.find('\n', start);
      const std::string line = log.substr(start, end - start);
      start = end == std::string::npos ? log.size() : end + 1;
      if (line.rfind("name ", 0) == 0) runs.push_back({line.substr(5), "", {}});
      if (runs.empty()) continue;
      if (line.rfind("cwd ", 0) == 0) runs.back().cwd = line.substr(4);
      if (line.rfind("arg ", 0) == 0) runs.back().args.push_back(line.substr(4));
    }
    return runs;
  }
  void ClearLog() const { fs::remove(LogPath()); }

  // A hand-off file left from some earlier run.
  static void WriteOldFile(const std::string& bytes) {
    WriteBytes(handoff::kFileName, bytes);
    fs::last_write_time(handoff::kFileName, fs::file_time_type::clock::now() - std::chrono::hours(1));
  }

  static void Press(int button) { t::Click(ChoiceWindow(), button); }

  TempCurrentDirectory temp_;
  std::optional<std::string> savedPath_;
};

TEST_F(RoundTrip, TheFieldsReachTheCalculatorAsOneArgumentUnchanged) {
  const std::string x242(242, 'x'), x243(243, 'x');
  const struct {
    const char* name;
    Values fields;  // hand-off order: ceiling, ear level, length, width, SPL
    std::string argument;
  } rows[] = {
      {"defaults", {"9", "5", "20", "15", "90"}, "9,5,20,15,90"},
      {"blanks and commas kept", {" 9", "5 ", "2,0", "1 5", ""}, " 9,5 ,2,0,1 5,"},
      {"quotes kept", {"\"9\"", "5", "20", "15", "9\"0"}, "\"9\",5,20,15,9\"0"},
      {"all fields empty", {"", "", "", "", ""}, ",,,,"},
      {"a line of exactly 256 characters is whole", {"9", "5", x242, "15", "90"}, "9,5," + x242 + ",15,90"},
      {"the 257th character is cut", {"9", "5", x243, "15", "90"}, "9,5," + x243 + ",15,9"},
      {"a long value cuts the rest away", {"9", "5", std::string(300, 'x'), "15", "90"},
       "9,5," + std::string(248, 'x')},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ClearLog();
    SetFields(row.fields);
    EXPECT_EQ(handoff::BuildCommandLine("HXC", ReadFields()).size(), std::min<std::size_t>(4 + row.argument.size(), 256));
    Press(kConeButton);
    const std::vector<StandInRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].name, "HXC");
    EXPECT_EQ(runs[0].cwd, fs::current_path().string());
    EXPECT_EQ(runs[0].args, std::vector<std::string>{row.argument});
    // Nothing was written back, so nothing changed.
    EXPECT_EQ(ReadFields(), row.fields);
  }
  EXPECT_TRUE(t::TakeAnsweredMessageBoxes().empty());
}

TEST_F(RoundTrip, PlanarStartsHxpAndAValueChangedThereIsPassedOnTheNextStart) {
  // HXP from the search path: a copy of the stand-in under that name.
  fs::create_directories("bin");
  fs::create_symlink(StandIn(), "bin/HXP");
  ::setenv("PATH", (temp_.Path() / "bin").c_str(), 1);

  ::setenv("HALVEX_STAND_IN_WRITE", handoff::FileBytes({"9", "5", "20", "18", "90"}).c_str(), 1);
  Press(kPlanarButton);
  EXPECT_EQ(ui::GetText(ChoiceWindow(), kWidthField), "18");

  ::unsetenv("HALVEX_STAND_IN_WRITE");
  Press(kPlanarButton);
  const std::vector<StandInRun> runs = Runs();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].name, "HXP");
  EXPECT_EQ(runs[0].args, std::vector<std::string>{"9,5,20,15,90"});
  EXPECT_EQ(runs[1].args, std::vector<std::string>{"9,5,20,18,90"});
  // The second run wrote nothing: the file of the first is not read again.
  EXPECT_EQ(ReadFields(), (Values{"9", "5", "20", "18", "90"}));
  EXPECT_TRUE(t::TakeAnsweredMessageBoxes().empty());
}

TEST_F(RoundTrip, TheLaunchersOwnDirectoryComesBeforeTheSearchPath) {
  fs::create_directories("bin");
  WriteBytes("bin/HXC", "#!/bin/sh\necho impostor >> \"$HALVEX_STAND_IN_LOG\"\n");
  ::chmod("bin/HXC", 0755);
  ::setenv("PATH", ((temp_.Path() / "bin").string() + ":" + savedPath_.value_or("")).c_str(), 1);
  Press(kConeButton);
  const std::string log = ReadBytes(LogPath());
  EXPECT_EQ(log.find("impostor"), std::string::npos) << log;
  EXPECT_EQ(Runs().size(), 1u);
}

TEST_F(RoundTrip, ACalculatorThatCannotBeStartedIsReportedAndTheFieldsKeepTheirValues) {
  const struct {
    const char* name;
    void (*prepare)(const fs::path& dir);
    const char* message;
  } rows[] = {
      {"found nowhere", [](const fs::path&) { ::setenv("PATH", "/nonexistent", 1); },
       "Cannot start HXP: No such file or directory"},
      {"only in the current directory",
       [](const fs::path&) {
         fs::create_symlink(StandIn(), "HXP");
         ::setenv("PATH", ":", 1);
       },
       "Cannot start HXP: No such file or directory"},
      {"not executable",
       [](const fs::path& dir) {
         fs::create_directories("bin");
         WriteBytes("bin/HXP", "#!/bin/sh\n");
         ::chmod("bin/HXP", 0644);
         ::setenv("PATH", (dir / "bin").c_str(), 1);
       },
       "Cannot start HXP: Permission denied"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove("HXP");
    fs::remove_all("bin");
    ClearLog();
    row.prepare(temp_.Path());
    // An older file must not be taken for the calculator's answer.
    WriteOldFile(handoff::FileBytes({"1", "1", "1", "1", "1"}));
    SetFields(kStartValues);

    Press(kPlanarButton);
    ExpectStartReported(row.message, kStartValues);
    EXPECT_TRUE(Runs().empty());
  }
}

TEST_F(RoundTrip, OnlyAFileWrittenDuringTheRunIsReadBack) {
  const std::string defaults = handoff::FileBytes({"9", "5", "20", "18", "90"});
  const Values read{"9", "5", "20", "18", "90"};
  const struct {
    const char* name;
    std::optional<std::string> before;   // a file left from an earlier run
    std::optional<std::string> written;  // what the calculator writes
    bool crash;
    Values fields;
  } rows[] = {
      {"a new file", std::nullopt, defaults, false, read},
      {"a file replaced", handoff::FileBytes({"1", "1", "1", "1", "1"}), defaults, false, read},
      {"the same bytes written again", defaults, defaults, false, read},
      {"a quote inside a value ends it", std::nullopt, "\"9\"\r\n\"5\"\r\n\"2\"0\"\r\n\"15\"\r\n\"90\"\r\n", false,
       {"9", "5", "2", "0\"", "15"}},
      {"fewer than five values", std::nullopt, "\"12\"\r\n\"6\"\r\n", false, {"12", "6", "", "", ""}},
      {"Ctrl-Z ends the values", std::nullopt, "\"9\"\r\n\x1A\"5\"\r\n\"20\"\r\n\"15\"\r\n\"90\"\r\n", false,
       {"9", "", "", "", ""}},
      {"unquoted values lose tabs and line feeds", std::nullopt, "12,6\t,3\n0\r\n  \"7\" \t\r\n", false,
       {"12", "6", "30", "7", ""}},
      {"an empty file", std::nullopt, "", false, {"", "", "", "", ""}},
      {"nothing written and no file", std::nullopt, std::nullopt, false, kStartValues},
      {"nothing written over an old file", defaults, std::nullopt, false, kStartValues},
      {"written, then crashed", std::nullopt, defaults, true, read},
      {"crashed without writing", defaults, std::nullopt, true, kStartValues},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(handoff::kFileName);
    if (row.before) WriteOldFile(*row.before);
    if (row.written) {
      ::setenv("HALVEX_STAND_IN_WRITE", row.written->c_str(), 1);
    } else {
      ::unsetenv("HALVEX_STAND_IN_WRITE");
    }
    if (row.crash) {
      ::setenv("HALVEX_STAND_IN_CRASH", "1", 1);
    } else {
      ::unsetenv("HALVEX_STAND_IN_CRASH");
    }
    ClearLog();
    SetFields(kStartValues);

    Press(kConeButton);
    EXPECT_EQ(Runs().size(), 1u);
    EXPECT_EQ(ReadFields(), row.fields);
  }
  EXPECT_TRUE(t::TakeAnsweredMessageBoxes().empty());
}

TEST_F(RoundTrip, WhatTheCalculatorLeavesIsReadSafely) {
  const Values values{"9", "5", "20", "18", "90"};
  const struct {
    const char* name;
    std::string written;    // through a file, so any size and byte will do
    const char* replace;    // or hx.tmp replaced by something else
    Values fields;
  } rows[] = {
      {"8-bit characters kept", "\"\xE9\xFF\"\r\n\"\xB0\"\r\n", nullptr, {"\xE9\xFF", "\xB0", "", "", ""}},
      {"a huge file is read as far as its values", handoff::FileBytes(values) + std::string(3 << 20, 'x'), nullptr,
       values},
      {"a named pipe is not read and does not hang", "", "fifo", kStartValues},
      {"a folder is not read", "", "folder", kStartValues},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    fs::remove_all(handoff::kFileName);
    WriteOldFile(handoff::FileBytes({"1", "1", "1", "1", "1"}));
    if (row.replace != nullptr) {
      ::unsetenv("HALVEX_STAND_IN_WRITE_FROM");
      ::setenv("HALVEX_STAND_IN_REPLACE", row.replace, 1);
    } else {
      WriteBytes("answer", row.written);
      ::setenv("HALVEX_STAND_IN_WRITE_FROM", (temp_.Path() / "answer").c_str(), 1);
      ::unsetenv("HALVEX_STAND_IN_REPLACE");
    }
    ClearLog();
    SetFields(kStartValues);

    Press(kConeButton);
    EXPECT_EQ(Runs().size(), 1u);
    const Values fields = ReadFields();
    for (int i = 0; i < handoff::kValueCount; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(fields[i].size(), row.fields[i].size());
      EXPECT_TRUE(fields[i] == row.fields[i]);  // no megabytes in a failure message
    }
  }
}

TEST_F(RoundTrip, InputGivenWhileTheCalculatorRunsIsDropped) {
  const fs::path cue = temp_.Path() / "go";
  ::setenv("HALVEX_STAND_IN_GO", cue.c_str(), 1);
  PressConeAndActWhileItRuns(LogPath(), cue, [] {
    t::Type(ChoiceWindow(), kWidthField, "77");
    t::Press(ChoiceWindow(), kWidthField, t::Key::Escape);
    t::Click(ChoiceWindow(), kPlanarButton);
    t::RequestClose(ChoiceWindow());
  });
  ExpectInputDroppedAndWorkingAgain([this] { return Runs().size(); });
}

}  // namespace
}  // namespace halvex::launcher
