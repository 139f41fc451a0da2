// pareskit-bench [DIRECTORY [REPETITIONS]]: generates the benchmark corpus
// (once) and prints one table: the time to read every input file of the job
// once with plain OS reads (no record layer) and with `cat … | wc -c`, the
// job's time and its ratios to those reads, the job's time with short master
// lists (does the job depend on the master lists' size?), the job's time with
// the list walks (estimated), and the process's peak memory. Each time is the
// minimum of REPETITIONS runs (default 9), which on a shared machine is the
// least disturbed one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "bench/host_measures.h"
#include "extract/declaration_copy.h"
#include "extract/job.h"
#include "extract/master_list.h"
#include "extract/needed_list.h"
#include "extract/source_scan.h"
#include "records/record_file.h"
#include "testing/files.h"
#include "testing/job_files.h"
#include "testing/list_walks.h"

namespace {

namespace fs = std::filesystem;

constexpr pk::CorpusShape FULL_SHAPE = {50000, 50000, 4000, 1000000};
constexpr pk::CorpusShape SHORT_LISTS_SHAPE = {50000, 5000, 4000, 1000000};
constexpr int32_t PREFIX_LINES = 20000;
constexpr int DEFAULT_REPETITIONS = 9;
constexpr char CORPUS_VERSION[] = "corpus-2";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Generates the corpus unless a complete one of this version is there; with
// a `model`, its source and libraries are the model's own files.
bool EnsureCorpus(const std::string& directory, const pk::CorpusShape& shape,
                  const std::string& model = "") {
  const std::string stamp = directory + "/" + CORPUS_VERSION;
  if (fs::exists(stamp)) return true;
  std::printf("generating %s ...\n", directory.c_str());
  std::fflush(stdout);
  const Clock::time_point start = Clock::now();
  if (!pk::GenerateCorpus(directory, shape)) return false;
  if (!model.empty() && !pk::ShareSourceAndLibraries(model, directory)) return false;
  std::ofstream(stamp) << "complete\n";
  std::printf("  generated in %.1f s\n", SecondsSince(start));
  return true;
}

// Every file the job reads, in the job's order, the source once per scan;
// the used-symbol lists it writes and reads back (a few KB) left out.
std::vector<std::string> JobInputs() {
  const std::string source = std::string(pk::BENCH_PROGRAM) + ".FOR";
  std::vector<std::string> inputs = {pk::MASTER_FI_NAME, source, pk::MASTER_FD_NAME, source};
  for (int32_t slot = 0; slot < pk::libraryTable.libraryCount; ++slot) {
    inputs.push_back(pk::LibraryFileName(pk::libraryTable.fdLibraries[slot]));
  }
  for (int32_t slot = 0; slot < pk::libraryTable.libraryCount; ++slot) {
    inputs.push_back(pk::LibraryFileName(pk::libraryTable.fiLibraries[slot]));
  }
  return inputs;
}

// The size of every plain OS read.
constexpr int32_t PLAIN_READ_SIZE = 64 * 1024;
char plainBuffer[PLAIN_READ_SIZE];

// Reads every input once with plain OS reads; *bytes is -1 when one failed.
double TimePlainRead(const std::vector<std::string>& inputs, int64_t* bytes) {
  const Clock::time_point start = Clock::now();
  *bytes = 0;
  for (const std::string& input : inputs) {
    const int64_t read = pk::ReadFilePlainly(input, plainBuffer, PLAIN_READ_SIZE);
    *bytes = read < 0 || *bytes < 0 ? -1 : *bytes + read;
  }
  return SecondsSince(start);
}

double TimeJob(bool* complete) {
  const Clock::time_point start = Clock::now();
  const pk::JobOutcome outcome = pk::RunJob(pk::BENCH_PROGRAM);
  const double seconds = SecondsSince(start);
  *complete = *complete && outcome.end == pk::JobEnd::COMPLETE;
  return seconds;
}

void WritePrefix(const std::string& source, const std::string& prefix) {
  std::ifstream in(source, std::ios::binary);
  std::ofstream out(prefix, std::ios::binary | std::ios::trunc);
  std::string line;
  for (int32_t i = 0; i < PREFIX_LINES && std::getline(in, line); ++i) out << line << '\n';
}

// One kind's scan of the prefix: master-list load plus scan, in seconds.
double TimePrefixScan(const char* master, const char* usedName, pk::IdentifierLookup lookUp) {
  const Clock::time_point start = Clock::now();
  pk::LoadMasterList(master, 12);
  pk::ScanSource(pk::testing::JobName("PREFIX.FOR"), pk::testing::JobName(usedName), lookUp);
  return SecondsSince(start);
}

double TimeCopy(const char* usedName, const pk::LibraryName* libraries, const char* outName,
                pk::NeededWordFinder find) {
  const Clock::time_point start = Clock::now();
  pk::LoadNeededList(pk::testing::JobName(usedName));
  pk::FileFaults faults = {};
  bool cutShort[pk::LIBRARY_SLOTS] = {};
  pk::CopyDeclarations(pk::CURRENT_DIRECTORY, libraries, pk::testing::JobName(outName), find,
                       faults, cutShort);
  return SecondsSince(start);
}

struct WalkFigures {
  double prefixWalk;   // both scans of the prefix with the walk
  double prefixIndex;  // the same with the index
  double copyWalk;     // both copyings with the walk, in full
  double job;          // the whole job with the walks, scans scaled up
  bool agrees;         // the walk's outputs equal the indexed job's
};

// The walks: the scans on a prefix of the source, scaled to the whole
// source; the copying in full, since it reads the libraries only. Run in the
// directory of a finished indexed job.
WalkFigures MeasureWalks() {
  WritePrefix(std::string(pk::BENCH_PROGRAM) + ".FOR", "PREFIX.FOR");
  WalkFigures walk{};
  walk.prefixWalk =
      TimePrefixScan(pk::MASTER_FI_NAME, "PREFIX.FIH", pk::testing::LookUpIdentifierByWalk) +
      TimePrefixScan(pk::MASTER_FD_NAME, "PREFIX.FDH", pk::testing::LookUpIdentifierByWalk);
  walk.prefixIndex = TimePrefixScan(pk::MASTER_FI_NAME, "PREFIX.FIH", pk::LookUpIdentifier) +
                     TimePrefixScan(pk::MASTER_FD_NAME, "PREFIX.FDH", pk::LookUpIdentifier);
  walk.copyWalk = TimeCopy("BENCH.FDH", pk::libraryTable.fdLibraries, "WALK.FD",
                           pk::testing::FindNeededWordByWalk) +
                  TimeCopy("BENCH.FIH", pk::libraryTable.fiLibraries, "WALK.FI",
                           pk::testing::FindNeededWordByWalk);
  walk.agrees = pk::testing::ReadWholeFile("WALK.FD") == pk::testing::ReadWholeFile("BENCH.FD") &&
                pk::testing::ReadWholeFile("WALK.FI") == pk::testing::ReadWholeFile("BENCH.FI");
  const double scale = static_cast<double>(FULL_SHAPE.sourceLines) / PREFIX_LINES;
  walk.job = walk.prefixWalk * scale + walk.copyWalk;
  return walk;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : PK_BENCH_CORPUS_DIR;
  const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : DEFAULT_REPETITIONS;
  const std::string full = fs::absolute(root + "/full").string();
  const std::string shortLists = fs::absolute(root + "/short-lists").string();
  // The short lists name the used symbols too, so both jobs read the same
  // source and libraries: they share those files, and only the lists differ.
  if (!EnsureCorpus(full, FULL_SHAPE) || !EnsureCorpus(shortLists, SHORT_LISTS_SHAPE, full)) {
    std::fprintf(stderr, "pareskit-bench: cannot write the corpus below %s\n", root.c_str());
    return 1;
  }
  std::printf(
      "corpus: %d master entries per kind, %d source lines, %d blocks per kind in 13 "
      "libraries, %d distinct symbols of each kind used\n",
      FULL_SHAPE.listedPerKind, FULL_SHAPE.sourceLines, FULL_SHAPE.symbolsPerKind,
      FULL_SHAPE.usedPerKind);

  // The three figures in turn, so that a disturbance of the machine meets
  // each of them alike; the page cache holds the corpus after the first turn.
  const std::vector<std::string> inputs = JobInputs();
  double plainRead = 1e9, catRead = 1e9, job = 1e9, jobShortLists = 1e9;
  int64_t bytes = 0;
  bool complete = true;
  for (int turn = 0; turn < repetitions; ++turn) {
    fs::current_path(full);
    plainRead = std::min(plainRead, TimePlainRead(inputs, &bytes));
    const double cat = pk::TimeCatPipeline(inputs);
    catRead = cat < 0 ? -1 : std::min(catRead, cat);
    job = std::min(job, TimeJob(&complete));
    fs::current_path(shortLists);
    jobShortLists = std::min(jobShortLists, TimeJob(&complete));
  }
  const int64_t peakKb = pk::PeakMemoryKb();
  fs::current_path(full);
  const WalkFigures walk = MeasureWalks();
  if (bytes < 0) std::printf("a job input could not be read with plain reads!\n");
  if (!complete) std::printf("a job ended early!\n");

  std::printf(
      "minimum of %d runs each; inputs of the job: %zu files, %.1f MB "
      "(the source twice, both master lists, 26 libraries)\n\n",
      repetitions, inputs.size(), static_cast<double>(bytes) / 1e6);
  std::printf("| %-52s | %9s | %-28s |\n", "figure", "seconds", "ratio");
  std::printf("|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(11, '-').c_str(),
              std::string(30, '-').c_str());
  char ratio[64];
  std::printf("| %-52s | %9.3f | %-28s |\n", "plain OS reads of the inputs, 64 KB each", plainRead,
              "");
  if (catRead >= 0) {
    std::printf("| %-52s | %9.3f | %-28s |\n", "cat of the inputs | wc -c (two processes)", catRead,
                "");
  }
  std::snprintf(ratio, sizeof ratio, "%.2f x the plain reads", job / plainRead);
  std::printf("| %-52s | %9.3f | %-28s |\n", "job, 50,000-entry master lists", job, ratio);
  if (catRead > 0) {
    std::snprintf(ratio, sizeof ratio, "%.2f x cat | wc -c", job / catRead);
    std::printf("| %-52s | %9s | %-28s |\n", "", "", ratio);
  }
  std::snprintf(ratio, sizeof ratio, "%.2f x the 50,000-entry job", jobShortLists / job);
  std::printf("| %-52s | %9.3f | %-28s |\n", "job, 5,000-entry master lists", jobShortLists, ratio);
  std::snprintf(ratio, sizeof ratio, "%.0f x the indexed job", walk.job / job);
  std::printf("| %-52s | %9.1f | %-28s |\n", "job with the list walks (estimated, one run)",
              walk.job, ratio);
  std::printf(
      "\nwalks: both scans of a %d-line prefix: walk %.3f s, index %.3f s, scaled x%.0f;\n"
      "       copying with the walks, in full: %.2f s (%s the indexed output)\n",
      PREFIX_LINES, walk.prefixWalk, walk.prefixIndex,
      static_cast<double>(FULL_SHAPE.sourceLines) / PREFIX_LINES, walk.copyWalk,
      walk.agrees ? "same as" : "DIFFERS FROM");
  std::printf("peak memory of this process after the jobs: %lld KB\n",
              static_cast<long long>(peakKb));
  return walk.agrees && complete && bytes >= 0 ? 0 : 1;
}
