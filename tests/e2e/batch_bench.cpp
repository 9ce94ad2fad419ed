// A benchmark of /arrange (not a test; run by tests/bench/run.sh): the real
// MIRTAV00.EXE started with /arrange on the pictures of a folder, every one
// of them written in the palette's order, beside CopyFileA of the same files
// in a loop in this process: over files of the same names (each target there
// already, as /arrange replaces each picture), and into an empty folder.
// Under Wine a file that replaces another costs about 2 ms more than a new
// one, whichever way it is written. Each round copies the sources afresh, so
// every round arranges every file; the best of three rounds of each is printed.
//   wine batch_bench.exe SOURCEFOLDER WORKFOLDER PALETTE COUNT
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/bench/figure.h"
#include "tests/e2e/driver.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string Name(int i) {
  char name[16];
  std::snprintf(name, sizeof name, "p%03d.bmp", i);
  return name;
}

// Copies every source into the work folder: false when one fails.
bool CopyAll(const std::string& from, const std::string& to, int count) {
  for (int i = 0; i < count; ++i) {
    if (!CopyFileA((from + "\\" + Name(i)).c_str(), (to + "\\" + Name(i)).c_str(), FALSE)) return false;
  }
  return true;
}

// The program's exit code, or -1 when it could not be started or ran past a minute.
long Arrange(const std::string& folder, const std::string& palette, int count) {
  std::string line = "\"" + e2e::JoinPath(e2e::ProgramDir(), "MIRTAV00.EXE") + "\" /arrange \"" + palette + "\"";
  for (int i = 0; i < count; ++i) line += " " + Name(i);
  STARTUPINFOA start = {};
  start.cb = sizeof start;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &start, &process)) {
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<long>(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: batch_bench SOURCEFOLDER WORKFOLDER PALETTE COUNT\n");
    return 2;
  }
  const std::string sources = argv[1], work = argv[2], copies = work + "\\copies", palette = argv[3];
  const int count = std::atoi(argv[4]);
  CreateDirectoryA(work.c_str(), nullptr);
  CreateDirectoryA(copies.c_str(), nullptr);
  double copyNew = 1e9, copyOver = 1e9, arrange = 1e9;
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < count; ++i) DeleteFileA((copies + "\\" + Name(i)).c_str());
    double t = Now();
    if (!CopyAll(sources, copies, count)) return std::fprintf(stderr, "CopyFileA failed\n"), 1;
    copyNew = std::min(copyNew, Now() - t);
    t = Now();
    if (!CopyAll(sources, copies, count)) return std::fprintf(stderr, "CopyFileA failed\n"), 1;
    copyOver = std::min(copyOver, Now() - t);
    if (!CopyAll(sources, work, count)) return std::fprintf(stderr, "CopyFileA failed\n"), 1;
    t = Now();
    const long code = Arrange(work, palette, count);
    const double took = Now() - t;
    if (code != 0) return std::fprintf(stderr, "/arrange ended with %ld\n", code), 1;
    arrange = std::min(arrange, took);
  }
  char what[120];
  std::snprintf(what, sizeof what, "/arrange of %d 8-bit 256x256 BMPs (program start included)", count);
  bench::PrintFigure(what, arrange * 1000, "CopyFileA over the same names", copyOver * 1000, "ms", 3.0);
  bench::PrintFigure(what, arrange * 1000, "CopyFileA into an empty folder", copyNew * 1000, "ms");
  return 0;
}
