// pareskit-bench [DIRECTORY]: generates the benchmark corpus (once) and
// reports, in one run, the job time with the lookup indexes, the job time
// with the list walks (scans measured on a prefix of the source and scaled),
// the time to read every input file once, and the job time with short master
// lists, which shows whether the job depends on the master lists' size.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/corpus.h"
#include "extract/declaration_copy.h"
#include "extract/job.h"
#include "extract/master_list.h"
#include "extract/needed_list.h"
#include "extract/source_scan.h"
#include "records/record_file.h"

namespace {

namespace fs = std::filesystem;
using pk::JobFileName;

constexpr pk::CorpusShape FULL_SHAPE = {50000, 50000, 4000, 1000000};
constexpr pk::CorpusShape SHORT_LISTS_SHAPE = {50000, 5000, 4000, 1000000};
constexpr int32_t PREFIX_LINES = 20000;
constexpr char CORPUS_VERSION[] = "corpus-1";

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

JobFileName Name(const std::string& text) {
  JobFileName name;
  pk::AssignText(name, text.data(), static_cast<int32_t>(text.size()));
  return name;
}

// Generates the corpus unless a complete one of this version is there.
bool EnsureCorpus(const std::string& directory, const pk::CorpusShape& shape) {
  const std::string stamp = directory + "/" + CORPUS_VERSION;
  if (fs::exists(stamp)) return true;
  std::printf("generating %s ...\n", directory.c_str());
  std::fflush(stdout);
  const Clock::time_point start = Clock::now();
  if (!pk::GenerateCorpus(directory, shape)) return false;
  std::ofstream(stamp) << "complete\n";
  std::printf("  generated in %.1f s\n", SecondsSince(start));
  return true;
}

// Reads every line of `name` once; the line count.
int64_t ReadAll(const std::string& name) {
  int64_t lines = 0;
  if (pk::OpenFile(pk::UNIT_INPUT, name.data(), static_cast<int32_t>(name.size()),
                   pk::OpenStatus::OLD) != pk::IO_OK) {
    return 0;
  }
  pk::LineRecord line;
  while (pk::ReadLine(pk::UNIT_INPUT, line) == pk::IO_OK) ++lines;
  pk::CloseFile(pk::UNIT_INPUT);
  return lines;
}

std::string LibraryFileName(const pk::LibraryName& slot) {
  std::string name(slot.chars, pk::LIBRARY_NAME_LENGTH);
  return name.substr(0, name.find(' '));
}

double ReadEveryInputOnce(int64_t* lines) {
  const Clock::time_point start = Clock::now();
  *lines = ReadAll(pk::MASTER_FI_NAME) + ReadAll(pk::MASTER_FD_NAME) +
           ReadAll(std::string(pk::BENCH_PROGRAM) + ".FOR");
  for (int32_t slot = 0; slot < pk::libraryTable.libraryCount; ++slot) {
    *lines += ReadAll(LibraryFileName(pk::libraryTable.fdLibraries[slot]));
    *lines += ReadAll(LibraryFileName(pk::libraryTable.fiLibraries[slot]));
  }
  return SecondsSince(start);
}

double TimeJob() {
  const Clock::time_point start = Clock::now();
  const pk::JobOutcome outcome = pk::RunJob(pk::BENCH_PROGRAM);
  const double seconds = SecondsSince(start);
  if (outcome.end != pk::JobEnd::COMPLETE) std::printf("  the job ended early!\n");
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
  pk::ScanSource(Name("PREFIX.FOR"), Name(usedName), lookUp);
  return SecondsSince(start);
}

double TimeCopy(const char* usedName, const pk::LibraryName* libraries, const char* outName,
                pk::NeededWordFinder find) {
  const Clock::time_point start = Clock::now();
  pk::LoadNeededList(Name(usedName));
  pk::FileFaults faults = {};
  pk::CopyDeclarations(libraries, Name(outName), find, faults);
  return SecondsSince(start);
}

bool SameFile(const std::string& a, const std::string& b) {
  std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(fa), {}) ==
         std::string(std::istreambuf_iterator<char>(fb), {});
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : PK_BENCH_CORPUS_DIR;
  const std::string full = fs::absolute(root + "/full").string();
  const std::string shortLists = fs::absolute(root + "/short-lists").string();
  if (!EnsureCorpus(full, FULL_SHAPE) || !EnsureCorpus(shortLists, SHORT_LISTS_SHAPE)) {
    std::fprintf(stderr, "pareskit-bench: cannot write the corpus below %s\n", root.c_str());
    return 1;
  }
  std::printf(
      "corpus: %d master entries per kind, %d source lines, %d blocks per kind in 13 "
      "libraries, %d distinct symbols of each kind used\n",
      FULL_SHAPE.listedPerKind, FULL_SHAPE.sourceLines, FULL_SHAPE.symbolsPerKind,
      FULL_SHAPE.usedPerKind);

  fs::current_path(full);
  int64_t lines = 0;
  const double readOnce = ReadEveryInputOnce(&lines);
  const double jobIndexed = TimeJob();

  // The walks: the scans on a prefix of the source, scaled to the whole
  // source; the copying in full, since it reads the libraries only.
  WritePrefix(std::string(pk::BENCH_PROGRAM) + ".FOR", "PREFIX.FOR");
  const double scale = static_cast<double>(FULL_SHAPE.sourceLines) / PREFIX_LINES;
  const double walkScan =
      TimePrefixScan(pk::MASTER_FI_NAME, "PREFIX.FIH", pk::LookUpIdentifierByWalk) +
      TimePrefixScan(pk::MASTER_FD_NAME, "PREFIX.FDH", pk::LookUpIdentifierByWalk);
  const double indexScan = TimePrefixScan(pk::MASTER_FI_NAME, "PREFIX.FIH", pk::LookUpIdentifier) +
                           TimePrefixScan(pk::MASTER_FD_NAME, "PREFIX.FDH", pk::LookUpIdentifier);
  const double walkCopy =
      TimeCopy("BENCH.FDH", pk::libraryTable.fdLibraries, "WALK.FD", pk::FindNeededWordByWalk) +
      TimeCopy("BENCH.FIH", pk::libraryTable.fiLibraries, "WALK.FI", pk::FindNeededWordByWalk);
  const bool walkAgrees = SameFile("WALK.FD", "BENCH.FD") && SameFile("WALK.FI", "BENCH.FI");
  const double jobWalked = walkScan * scale + walkCopy;

  fs::current_path(shortLists);
  const double jobShortLists = TimeJob();

  std::printf("read every input once (%lld lines):          %8.2f s\n",
              static_cast<long long>(lines), readOnce);
  std::printf("job with the lookup indexes:                  %8.2f s  (%.2f x read-once)\n",
              jobIndexed, jobIndexed / readOnce);
  std::printf("job with the list walks (estimated):          %8.2f s  (%.1f x the indexed job)\n",
              jobWalked, jobWalked / jobIndexed);
  std::printf("  both scans, %d-line prefix: walk %.3f s, index %.3f s; scaled x%.0f\n",
              PREFIX_LINES, walkScan, indexScan, scale);
  std::printf("  copying with the walks, measured in full:  %.2f s (%s the indexed output)\n",
              walkCopy, walkAgrees ? "same as" : "DIFFERS FROM");
  std::printf(
      "job with %d-entry master lists:              %8.2f s  (%.2f x the 50,000-entry job)\n",
      SHORT_LISTS_SHAPE.listedPerKind, jobShortLists, jobShortLists / jobIndexed);
  return walkAgrees ? 0 : 1;
}
