// Fault sweep over a whole job: every file operation of every kind (open,
// read, write, truncate, close, remove) is made to fail in turn, with each of
// a few errors, and what the job leaves behind is checked against what a
// fault-free job writes. Whatever fails, the job ends, skips a library,
// shortens its report, or the process ends with exit code 1 and the run-time
// error report; and the report never counts an incomplete used-symbol list,
// never calls a symbol found whose block is not wholly in the output, and
// never holds a line that is not one of its own.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "extract/job.h"
#include "extract/job_lock.h"
#include "records/file_services.h"
#include "records/record_file.h"
#include "testing/failing_file_services.h"
#include "testing/files.h"
#include "testing/job_files.h"
#include "testing/scratch_directory.h"
#include "testing/traced_file_services.h"

namespace pk {
namespace {

using testing::CallCount;
using testing::CrLf;
using testing::FileCall;
using testing::InputFile;
using testing::SplitCrLf;
using testing::TracedCall;
using testing::TracedFileServices;
using testing::Trimmed;
using testing::WriteJobInputs;

// ---------------------------------------------------------------------------
// The prepared directory and what a fault-free job makes of it.

struct Kind {
  const char* kindText;  // as in the report: "FD" or "FI"
  const char* usedList;  // NAME.FDH or NAME.FIH
  const char* output;    // NAME.FD or NAME.FI
  std::vector<std::string> needed;
  std::vector<std::string> notFound;
};

const Kind kKinds[] = {
    {"FD", "DEMO.FDH", "DEMO.FD", {"GETDC", "BEEP", "SLEEP", "MISSING"}, {"MISSING"}},
    {"FI", "DEMO.FIH", "DEMO.FI", {"MSG", "RECT"}, {}},
};

const std::map<std::string, std::vector<std::string>> kBlocks = {
    {"GETDC", {"      INTEGER GETDC", "      EXTERNAL GETDC"}},
    {"BEEP", {"      INTEGER BEEP"}},
    {"SLEEP", {"      INTEGER SLEEP"}},
    {"MSG", {"      STRUCTURE /MSG/", "      END STRUCTURE"}},
    {"RECT", {"      STRUCTURE /RECT/"}},
};

const char* const kOutputs[] = {"DEMO.FIH", "DEMO.FDH", "DEMO.FD", "DEMO.FI", "DEMO.PRE"};

const std::vector<InputFile> kInputs = {
    {"MASTERFI.LIS", {"MSG", "POINT", "RECT"}},
    {"MASTERFD.LIS", {"GETDC", "BEEP", "SLEEP", "MISSING"}},
    {"DEMO.FOR",
     {"C     A DEMONSTRATION", "      CALL GETDC(MSG)", "      CALL BEEP(RECT)",
      "      CALL SLEEP(MISSING)"}},
    {"USER32.FD",
     {"C*GETDC", kBlocks.at("GETDC")[0], kBlocks.at("GETDC")[1], "C*BEEP", kBlocks.at("BEEP")[0]}},
    {"KERNEL32.FD", {"C*SLEEP", kBlocks.at("SLEEP")[0]}},
    {"USER32.FI", {"C*MSG", kBlocks.at("MSG")[0], kBlocks.at("MSG")[1]}},
    {"GDI32.FI", {"C*RECT", kBlocks.at("RECT")[0]}},
};

void RemoveJobOutputs() {
  for (const char* name : kOutputs) std::remove(name);
}

std::string BaselineReport() {
  return CrLf({"       4 FD Symbols were specified", "       1 FD Symbols were not found",
               " FD Symbols not found:", "MISSING", "       2 FI Symbols were specified",
               "       0 FI Symbols were not found"});
}

char programName[PROGRAM_NAME_LENGTH + 1] = "DEMO";

// ---------------------------------------------------------------------------
// A probe over the failing services: the traced services record which file
// every call concerns, and above them the record layer's run-time error (the
// report on standard error that precedes the process end) becomes an
// exception, so that a sweep can go on in the same process. The real process
// end is proven by the death tests below.

struct ProcessEnded {};

const FileServices* traced = nullptr;
std::string standardError;
// Locks held, so that a run stopped at its run-time error can release its
// lock as the process end would.
std::set<OsHandle> heldLocks;

void ProbeStandardError(const char* bytes, int32_t count) {
  standardError.append(bytes, static_cast<size_t>(count));
  throw ProcessEnded{};
}

IoStatus ProbeLock(const char* name, OsHandle* handle, bool* created) {
  const IoStatus status = traced->lock(name, handle, created);
  if (status == IO_OK) heldLocks.insert(*handle);
  return status;
}

void ProbeUnlock(OsHandle handle) {
  heldLocks.erase(handle);
  traced->unlock(handle);
}

struct ProbedRun {
  bool processEnded;
  JobOutcome outcome;
  std::string standardError;
  std::vector<TracedCall> trace;
};

// Runs one job in the current directory with the `k`-th call of `kind`
// failing with `error` (k = 0: nothing fails). A run that ends the process
// is stopped at the error report; its files still attached are then closed
// as the process end closes them.
ProbedRun RunProbedJob(FileCall kind, int32_t k, IoStatus error) {
  RemoveJobOutputs();
  CloseAllFiles();
  ProbedRun run{};
  {
    const testing::FailingFileServices failingCalls(kind, k, error);
    const TracedFileServices tracing;
    traced = &CurrentFileServices();
    FileServices probe = *traced;
    probe.writeStandardError = ProbeStandardError;
    probe.lock = ProbeLock;
    probe.unlock = ProbeUnlock;
    standardError.clear();
    UseFileServices(&probe);
    try {
      run.outcome = RunJob(programName);
    } catch (const ProcessEnded&) {
      run.processEnded = true;
      RemoveUnkeptJobLockFile();
      CloseAllFiles();
      for (const OsHandle lock : heldLocks) traced->unlock(lock);
      heldLocks.clear();
    }
    run.trace = TracedFileServices::Calls();
  }
  run.standardError = standardError;
  return run;
}

// ---------------------------------------------------------------------------
// What may be found on disk after any run.

bool Contains(const std::vector<std::string>& words, const std::string& word) {
  for (const std::string& w : words) {
    if (w == word) return true;
  }
  return false;
}

// True when `lines` holds the whole block of `symbol` as consecutive lines.
bool HasWholeBlock(const std::vector<std::string>& lines, const std::string& symbol) {
  const std::vector<std::string>& block = kBlocks.at(symbol);
  for (size_t at = 0; at + block.size() <= lines.size(); ++at) {
    bool whole = true;
    for (size_t i = 0; i < block.size() && whole; ++i) whole = lines[at + i] == block[i];
    if (whole) return true;
  }
  return false;
}

// An output file holds whole blocks of its own kind, one after another.
void CheckOutputFile(const Kind& kind, const std::string& context) {
  if (!testing::FileExists(kind.output)) return;
  bool wellFormed = false;
  const std::vector<std::string> lines =
      SplitCrLf(testing::ReadWholeFile(kind.output), &wellFormed);
  EXPECT_TRUE(wellFormed) << context << ": " << kind.output << " ends inside a line";
  size_t at = 0;
  while (at < lines.size()) {
    bool matched = false;
    for (const std::string& symbol : kind.needed) {
      if (symbol == "MISSING") continue;
      const std::vector<std::string>& block = kBlocks.at(symbol);
      if (at + block.size() > lines.size()) continue;
      bool whole = true;
      for (size_t i = 0; i < block.size() && whole; ++i) whole = lines[at + i] == block[i];
      if (whole) {
        at += block.size();
        matched = true;
        break;
      }
    }
    if (!matched) {
      ADD_FAILURE() << context << ": " << kind.output << " line " << at + 1
                    << " is not part of a whole block: \"" << lines[at] << "\"";
      return;
    }
  }
}

// A used-symbol list holds the first lines of the full list, nothing else.
void CheckUsedList(const Kind& kind, const std::string& context) {
  if (!testing::FileExists(kind.usedList)) return;
  bool wellFormed = false;
  const std::vector<std::string> lines =
      SplitCrLf(testing::ReadWholeFile(kind.usedList), &wellFormed);
  EXPECT_TRUE(wellFormed) << context << ": " << kind.usedList << " ends inside a line";
  ASSERT_LE(lines.size(), kind.needed.size()) << context;
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], kind.needed[i]) << context;
}

struct ReportSection {
  int neededCount = -1;
  int remainingCount = -1;
  bool heading = false;
  std::vector<std::string> listed;
};

// Parses NAME.PRE; every line must belong to a section of the right form,
// the FD section before the FI section.
std::map<std::string, ReportSection> ParseReport(const std::string& context) {
  std::map<std::string, ReportSection> sections;
  if (!testing::FileExists("DEMO.PRE")) return sections;
  bool wellFormed = false;
  const std::vector<std::string> lines = SplitCrLf(testing::ReadWholeFile("DEMO.PRE"), &wellFormed);
  EXPECT_TRUE(wellFormed) << context << ": DEMO.PRE ends inside a line";
  const std::regex specified(R"( {0,7}(\d{1,8}) (FD|FI) Symbols were specified)");
  const std::regex notFound(R"( {0,7}(\d{1,8}) (FD|FI) Symbols were not found)");
  const std::regex heading(R"( (FD|FI) Symbols not found:)");
  const std::regex symbol(R"([A-Z]+)");
  ReportSection* current = nullptr;
  std::string currentKind;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::smatch match;
    const std::string& line = lines[i];
    // Count lines are 34 characters: the count takes exactly 8 columns.
    if (line.size() == 34 && std::regex_match(line, match, specified)) {
      const std::string kind = match[2];
      EXPECT_EQ(sections.count(kind), 0u) << context << ": section " << kind << " twice";
      EXPECT_FALSE(kind == "FD" && sections.count("FI") != 0)
          << context << ": the FD section after the FI section";
      currentKind = kind;
      current = &sections[kind];
      current->neededCount = std::stoi(match[1]);
      std::smatch second;
      if (i + 1 >= lines.size() || !std::regex_match(lines[i + 1], second, notFound) ||
          second[2] != kind) {
        ADD_FAILURE() << context << ": line 2 of section " << kind << " is missing";
        continue;
      }
      current->remainingCount = std::stoi(second[1]);
      ++i;
    } else if (current != nullptr && std::regex_match(line, match, heading) &&
               match[1] == currentKind && !current->heading) {
      current->heading = true;
    } else if (current != nullptr && current->heading && std::regex_match(line, symbol)) {
      current->listed.push_back(line);
    } else {
      ADD_FAILURE() << context << ": DEMO.PRE line " << i + 1 << " is not a report line: \"" << line
                    << "\"";
    }
  }
  return sections;
}

// The report's claims hold for what is on disk. A section that counts fewer
// symbols than the program uses is noted in *countedShortList; its other
// claims are then checked against the words it did count (the first ones of
// the list, which is written and read in order).
void CheckReportSection(const Kind& kind, const ReportSection& section, const std::string& context,
                        bool* countedShortList) {
  const int fullCount = static_cast<int>(kind.needed.size());
  ASSERT_GE(section.neededCount, 0) << context;
  ASSERT_LE(section.neededCount, fullCount) << context << ": counts more symbols than used";
  if (section.neededCount < fullCount) *countedShortList = true;
  const std::vector<std::string> counted(kind.needed.begin(),
                                         kind.needed.begin() + section.neededCount);
  int expectedNotFound = 0;
  for (const std::string& word : kind.notFound) expectedNotFound += Contains(counted, word) ? 1 : 0;
  EXPECT_GE(section.remainingCount, expectedNotFound) << context;
  EXPECT_LE(section.remainingCount, section.neededCount) << context;
  // The heading only when symbols were not found; it may itself have failed.
  EXPECT_TRUE(!section.heading || section.remainingCount > 0) << context;
  EXPECT_TRUE(section.listed.empty() || section.heading) << context;
  for (const std::string& word : section.listed) {
    EXPECT_TRUE(Contains(counted, word)) << context << ": lists " << word;
  }
  if (static_cast<int>(section.listed.size()) != section.remainingCount) {
    // A not-found line that could not be written shortens the list only.
    EXPECT_LT(static_cast<int>(section.listed.size()), section.remainingCount) << context;
    return;
  }
  bool wellFormedOutput = false;
  const std::vector<std::string> output =
      SplitCrLf(testing::ReadWholeFile(kind.output), &wellFormedOutput);
  for (const std::string& word : counted) {
    if (Contains(section.listed, word)) continue;
    EXPECT_TRUE(HasWholeBlock(output, word))
        << context << ": " << word << " reported found, its block is not whole in " << kind.output;
  }
}

struct DiskState {
  std::map<std::string, ReportSection> report;
  bool countedShortList = false;  // a section counts fewer symbols than the program uses
};

// Checks everything on disk.
DiskState CheckFilesOnDisk(const std::string& context) {
  for (const Kind& kind : kKinds) {
    CheckUsedList(kind, context);
    CheckOutputFile(kind, context);
  }
  DiskState state;
  state.report = ParseReport(context);
  for (const Kind& kind : kKinds) {
    const auto found = state.report.find(kind.kindText);
    if (found != state.report.end()) {
      CheckReportSection(kind, found->second, context, &state.countedShortList);
    }
  }
  return state;
}

bool IsJobFileName(const std::string& name) {
  static const std::set<std::string> names = {
      "MASTERFI.LIS", "MASTERFD.LIS", "DEMO.FOR",  "DEMO.FIH",    "DEMO.FDH",  "DEMO.FD",
      "DEMO.FI",      "DEMO.PRE",     "USER32.FD", "KERNEL32.FD", "USER32.FI", "GDI32.FI"};
  return names.count(name) != 0;
}

// ---------------------------------------------------------------------------
// The sweep.

struct ErrorCase {
  IoStatus error;
  const char* name;
};

const ErrorCase kErrors[] = {{IO_ACCESS_DENIED, "access denied"},
                             {IO_DISK_FULL, "disk full"},
                             {IO_READ_FAILED, "read error"},
                             {IO_NO_HANDLES, "no handles"}};

const char* KindName(FileCall kind) {
  switch (kind) {
    case FileCall::OPEN:
      return "open";
    case FileCall::READ:
      return "read";
    case FileCall::WRITE:
      return "write";
    case FileCall::TRUNCATE:
      return "truncate";
    case FileCall::CLOSE:
      return "close";
    case FileCall::REMOVE:
      return "remove";
    case FileCall::IDENTIFY:
      return "identify";
    case FileCall::LOCK:
      return "lock";
    case FileCall::EXECUTABLE_PATH:
      return "executable path";
  }
  return "?";
}

// How one faulty run ended, for the tally.
std::string Classify(const ProbedRun& run, const DiskState& disk) {
  const std::map<std::string, ReportSection>& report = disk.report;
  if (run.processEnded) return "process ended, exit code 1";
  if (run.outcome.end != JobEnd::COMPLETE) return "job ended early";
  bool same = testing::ReadWholeFile("DEMO.PRE") == BaselineReport();
  if (same) return "complete, as without the fault";
  for (const Kind& kind : kKinds) {
    const auto found = report.find(kind.kindText);
    if (found != report.end() &&
        found->second.remainingCount > static_cast<int>(kind.notFound.size())) {
      return "complete, fewer symbols found";
    }
  }
  return "complete, report shortened";
}

// Sweeps k over every call of `kind` for each error; returns the tally.
std::map<std::string, int> SweepKind(FileCall kind) {
  std::map<std::string, int> tally;
  testing::ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  const ProbedRun clean = RunProbedJob(kind, 0, IO_OK);
  EXPECT_FALSE(clean.processEnded);
  EXPECT_EQ(clean.outcome.end, JobEnd::COMPLETE);
  EXPECT_EQ(testing::ReadWholeFile("DEMO.PRE"), BaselineReport());
  std::map<std::string, std::string> cleanOutputs;
  for (const char* name : kOutputs) cleanOutputs[name] = testing::ReadWholeFile(name);
  const int32_t count = CallCount(clean.trace, kind);
  for (const ErrorCase& error : kErrors) {
    for (int32_t k = 1; k <= count; ++k) {
      const ProbedRun run = RunProbedJob(kind, k, error.error);
      // The call that failed, named by the file it concerned.
      std::string context;
      int32_t seen = 0;
      for (const TracedCall& call : run.trace) {
        if (call.kind == kind && ++seen == k) {
          context = std::string(KindName(kind)) + " #" + std::to_string(k) + " on " + call.file +
                    " fails with " + error.name;
          break;
        }
      }
      const DiskState disk = CheckFilesOnDisk(context);
      // The NAME.PRE the lock made stays only as the report.
      bool reportOpened = false;
      for (const TracedCall& call : run.trace) {
        reportOpened = reportOpened || (call.kind == FileCall::OPEN && call.file == "DEMO.PRE");
      }
      EXPECT_TRUE(reportOpened || !testing::FileExists("DEMO.PRE"))
          << context << ": DEMO.PRE left before the report was opened";
      const std::map<std::string, ReportSection>& report = disk.report;
      EXPECT_FALSE(disk.countedShortList) << context << ": the report counts a cut list as whole";
      if (run.processEnded) {
        std::smatch match;
        const std::regex runTimeError(
            "\nrun-time error F([0-9]+): (OPEN|CLOSE)\\(([^)]*)\\)\n- [a-z ]+\n");
        EXPECT_TRUE(std::regex_match(run.standardError, match, runTimeError))
            << context << ": " << run.standardError;
        if (!match.empty()) {
          EXPECT_TRUE(IsJobFileName(match[3])) << context;
        }
      } else if (run.outcome.end == JobEnd::COMPLETE) {
        // A failed first write of a section leaves that section out only.
        EXPECT_GE(report.size(), 1u) << context << ": a complete job without a report";
        // A run that names no file it went on without is the fault-free run.
        for (const char* name : kOutputs) {
          EXPECT_TRUE(run.outcome.faults.count != 0 ||
                      testing::ReadWholeFile(name) == cleanOutputs[name])
              << context << ": " << name << " differs, and no file is named as failed";
        }
        for (int32_t i = 0; i < run.outcome.faults.count; ++i) {
          EXPECT_TRUE(IsJobFileName(Trimmed(run.outcome.faults.faults[i].file))) << context;
        }
      } else {
        // Whatever the job names as the file it ended on must be one of its own.
        EXPECT_NE(run.outcome.end, JobEnd::LIBRARY_NAME) << context;
        EXPECT_TRUE(IsJobFileName(Trimmed(run.outcome.file))) << context;
        EXPECT_EQ(report.count("FI"), 0u) << context << ": ended early after the whole report";
      }
      ++tally[Classify(run, disk)];
    }
  }
  std::printf("%s: %d calls in a job, %d faults injected\n", KindName(kind), count,
              count * static_cast<int>(sizeof kErrors / sizeof kErrors[0]));
  for (const auto& [outcome, runs] : tally) std::printf("  %-34s %d\n", outcome.c_str(), runs);
  return tally;
}

// One refused open is retried with another access: an input read-only, an
// output, which must be emptied, write-only. Either then opens.
TEST(JobFaultSweep, FailedOpensFallBackToAnotherAccess) {
  const std::map<std::string, int> tally = SweepKind(FileCall::OPEN);
  ASSERT_EQ(tally.size(), 1u);
  EXPECT_EQ(tally.begin()->first, "complete, as without the fault");
}

// A read error in a library ends that library: its symbols are reported not
// found. One in a master list, the source or a used-symbol list ends the job.
TEST(JobFaultSweep, FailedReadsEndTheJobOrTheirLibrary) {
  const std::map<std::string, int> tally = SweepKind(FileCall::READ);
  EXPECT_EQ(tally.count("process ended, exit code 1"), 0u);
  EXPECT_GT(tally.count("job ended early"), 0u);
  EXPECT_GT(tally.count("complete, fewer symbols found"), 0u);
}

TEST(JobFaultSweep, FailedWritesEndTheJobOrReportTheBlockNotFound) {
  const std::map<std::string, int> tally = SweepKind(FileCall::WRITE);
  EXPECT_GT(tally.count("job ended early"), 0u);
  EXPECT_GT(tally.count("complete, fewer symbols found"), 0u);
}

TEST(JobFaultSweep, FailedTruncationsAreFailedWritesOrOpens) {
  const std::map<std::string, int> tally = SweepKind(FileCall::TRUNCATE);
  EXPECT_GT(tally.count("job ended early"), 0u);
}

TEST(JobFaultSweep, EveryFailedCloseEndsTheProcess) {
  const std::map<std::string, int> tally = SweepKind(FileCall::CLOSE);
  ASSERT_EQ(tally.size(), 1u);
  EXPECT_EQ(tally.begin()->first, "process ended, exit code 1");
}

// The lock of NAME.PRE that cannot be taken for a reason other than another
// job's leaves the job to meet NAME.PRE's fault where it always did: here
// there is none, so the job runs as without the fault.
TEST(JobFaultSweep, FailedLocksLetTheJobGoOnWithoutTheLock) {
  const std::map<std::string, int> tally = SweepKind(FileCall::LOCK);
  ASSERT_EQ(tally.size(), 1u);
  EXPECT_EQ(tally.begin()->first, "complete, as without the fault");
}

// A file whose identity cannot be learnt is taken for distinct from all others.
TEST(JobFaultSweep, FailedIdentityQueriesTakeTheFileForDistinct) {
  const std::map<std::string, int> tally = SweepKind(FileCall::IDENTIFY);
  ASSERT_EQ(tally.size(), 1u);
  EXPECT_EQ(tally.begin()->first, "complete, as without the fault");
}

TEST(JobFaultSweep, AJobRemovesNoFile) {
  testing::ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  EXPECT_EQ(CallCount(RunProbedJob(FileCall::REMOVE, 0, IO_OK).trace, FileCall::REMOVE), 0);
}

// A report longer than the record layer's 1,024-byte transfer buffer: a
// failed write may take out the lines it was writing (and with the count
// lines or the heading, the rest of their section), but never a line written
// before it, and never joins parts of two lines.
TEST(JobFaultSweep, AFailedReportWriteLosesNoEarlierLine) {
  testing::ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  std::vector<std::string> master = {"GETDC", "BEEP", "SLEEP", "MISSING"};
  std::vector<std::string> source = {"      CALL GETDC(MSG)", "      CALL BEEP(RECT)",
                                     "      CALL SLEEP(MISSING)"};
  for (int i = 0; i < 150; ++i) {
    const std::string name = "NOLIBRARY" + std::to_string(1000 + i);
    master.push_back(name);
    source.push_back("      CALL " + name);
  }
  testing::WriteWholeFile("MASTERFD.LIS", CrLf(master));
  testing::WriteWholeFile("DEMO.FOR", CrLf(source));
  const ProbedRun clean = RunProbedJob(FileCall::WRITE, 0, IO_OK);
  bool wellFormed = false;
  const std::vector<std::string> cleanReport =
      SplitCrLf(testing::ReadWholeFile("DEMO.PRE"), &wellFormed);
  ASSERT_GT(testing::ReadWholeFile("DEMO.PRE").size(), 1024u);
  const std::regex countLine(" +[0-9]+ (FD|FI) Symbols were (specified|not found)");
  const std::regex heading(" (FD|FI) Symbols not found:");
  int32_t k = 0;
  for (const TracedCall& call : clean.trace) {
    if (call.kind != FileCall::WRITE) continue;
    ++k;
    if (call.file != "DEMO.PRE") continue;
    const ProbedRun run = RunProbedJob(FileCall::WRITE, k, IO_DISK_FULL);
    if (run.processEnded) continue;
    const std::vector<std::string> report =
        SplitCrLf(testing::ReadWholeFile("DEMO.PRE"), &wellFormed);
    EXPECT_TRUE(wellFormed) << "write #" << k;
    // What is left is the clean report with lines taken out: one symbol line,
    // or a section from its count lines or its heading on.
    size_t at = 0;
    for (const std::string& line : report) {
      bool sectionCut = false;
      while (at < cleanReport.size() && cleanReport[at] != line) {
        const bool sectionLine = std::regex_match(cleanReport[at], countLine) ||
                                 std::regex_match(cleanReport[at], heading);
        EXPECT_TRUE(sectionLine || sectionCut ||
                    std::regex_match(cleanReport[at], std::regex("[A-Z0-9]+")))
            << "write #" << k << " fails: lost \"" << cleanReport[at] << "\"";
        sectionCut = sectionCut || sectionLine;
        ++at;
      }
      ASSERT_LT(at, cleanReport.size()) << "write #" << k << " fails: \"" << line << "\"";
      EXPECT_FALSE(sectionCut && !std::regex_match(line, countLine))
          << "write #" << k << " fails: \"" << line << "\" kept after its section was cut";
      ++at;
    }
  }
}

// ---------------------------------------------------------------------------
// The process really ends: exit code 1 and the report on standard error, with
// the files still attached closed. Each case is a death test of its own whose
// child process re-runs that one case up to the statement (under wine a
// fresh process, hence ScratchDirectory keeps the parent's directory for it).

struct DeathCase {
  FileCall kind;
  int32_t k;
  const char* pattern;  // what the run-time error names, as a regular expression
  bool reportStays;     // the report was opened: DEMO.PRE stays after the process ended
};

// The calls whose failure ends the process (the emptying of NAME.PRE, and
// every close), in the order of the job's calls.
// FatalCallsAreTheDeathTestTable proves with the probe that these are all.
const DeathCase kFatalCalls[] = {
    {FileCall::TRUNCATE, 5, "OPEN\\(DEMO.PRE\\)", false},
    {FileCall::CLOSE, 1, "CLOSE\\(MASTERFI.LIS\\)", false},
    {FileCall::CLOSE, 2, "CLOSE\\(DEMO.FIH\\)", false},
    {FileCall::CLOSE, 3, "CLOSE\\(DEMO.FOR\\)", false},
    {FileCall::CLOSE, 4, "CLOSE\\(MASTERFD.LIS\\)", false},
    {FileCall::CLOSE, 5, "CLOSE\\(DEMO.FDH\\)", false},
    {FileCall::CLOSE, 6, "CLOSE\\(DEMO.FOR\\)", false},
    {FileCall::CLOSE, 7, "CLOSE\\(DEMO.FDH\\)", true},
    {FileCall::CLOSE, 8, "CLOSE\\(USER32.FD\\)", true},
    {FileCall::CLOSE, 9, "CLOSE\\(KERNEL32.FD\\)", true},
    {FileCall::CLOSE, 10, "CLOSE\\(DEMO.FD\\)", true},
    {FileCall::CLOSE, 11, "CLOSE\\(DEMO.FIH\\)", true},
    {FileCall::CLOSE, 12, "CLOSE\\(USER32.FI\\)", true},
    {FileCall::CLOSE, 13, "CLOSE\\(GDI32.FI\\)", true},
    {FileCall::CLOSE, 14, "CLOSE\\(DEMO.FI\\)", true},
    {FileCall::CLOSE, 15, "CLOSE\\(DEMO.PRE\\)", true},
};

// One fatal call as the table and the probe are compared.
std::string Described(FileCall kind, int32_t k, const std::string& pattern) {
  return std::string(KindName(kind)) + " #" + std::to_string(k) + ": " + pattern;
}

// The calls whose failure the probe sees end the process, each with the file
// its run-time error names.
std::vector<std::string> ProbedFatalCalls() {
  std::vector<std::string> cases;
  const std::regex named("(OPEN|CLOSE)\\(([^)]*)\\)");
  for (FileCall kind : {FileCall::OPEN, FileCall::TRUNCATE, FileCall::WRITE, FileCall::CLOSE}) {
    const int32_t count = CallCount(RunProbedJob(kind, 0, IO_OK).trace, kind);
    for (int32_t k = 1; k <= count; ++k) {
      const ProbedRun run = RunProbedJob(kind, k, IO_DISK_FULL);
      std::smatch match;
      if (!run.processEnded || !std::regex_search(run.standardError, match, named)) continue;
      cases.push_back(
          Described(kind, k, std::string(match[1]) + "\\(" + std::string(match[2]) + "\\)"));
    }
  }
  return cases;
}

TEST(JobFaultSweep, FatalCallsAreTheDeathTestTable) {
  testing::ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  std::vector<std::string> table;
  for (const DeathCase& death : kFatalCalls) {
    table.push_back(Described(death.kind, death.k, death.pattern));
  }
  EXPECT_EQ(ProbedFatalCalls(), table);
}

class JobFaultDeathTest : public ::testing::TestWithParam<DeathCase> {};

TEST_P(JobFaultDeathTest, FatalFailuresEndTheProcessWithTheRunTimeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const DeathCase& death = GetParam();
  testing::ScratchDirectory scratch;
  WriteJobInputs(kInputs);
  RemoveJobOutputs();
  EXPECT_EXIT(
      {
        const testing::FailingFileServices failingCalls(death.kind, death.k, IO_DISK_FULL);
        RunJob(programName);
      },
      // Patterns that both the POSIX and the Windows regular expressions of
      // the test framework read the same way.
      ::testing::ExitedWithCode(1), std::string("run-time error F.+: ") + death.pattern);
  EXPECT_EQ(testing::FileExists("DEMO.PRE"), death.reportStays)
      << "the NAME.PRE the lock made goes with a process end before the report";
  CheckFilesOnDisk(Described(death.kind, death.k, death.pattern) + ", after the process ended");
}

INSTANTIATE_TEST_SUITE_P(FatalCalls, JobFaultDeathTest, ::testing::ValuesIn(kFatalCalls),
                         [](const ::testing::TestParamInfo<DeathCase>& info) {
                           return std::string(KindName(info.param.kind)) + "_" +
                                  std::to_string(info.param.k);
                         });

}  // namespace
}  // namespace pk
