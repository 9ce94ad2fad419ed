// A benchmark of the shuffler (not a test; not run by test.sh): the real
// MIRTAV00.EXE under Wine, driven from this process, on a 16384 x 8192 and a
// 640 x 480 8-bit picture in one run. Prints the open (OK in the dialog to the
// new title), a paint of the main window, Randomize PLT with its repaint, and
// the BMP writer (OK in the save dialog to the success box), each beside what
// it is held against: one read of the file, a memcpy of the picture's bytes,
// one write of the same bytes. Given two PNGs as well, Randomize PLT then Save
// as PNG (the command to the success box) on each, beside an encode of the
// same indices through the imaging component in this process.
//   wine shuffler_bench.exe BIG.bmp SMALL.bmp OUTFOLDER [BIG.png SMALL.png]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/bitmap/png_codec.h"
#include "tests/bench/figure.h"
#include "tests/e2e/session.h"

using namespace e2e;

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Figures {
  double open = 0, paint = 0, randomise = 0, save = 0;
  // Sort by hue, lightness, use, Undo, Remove unused entries, each with its
  // repaint, then Merge duplicate colours to its message box.
  double order[6] = {};
  double read = 0, copy = 0, write = 0;
  uint64_t fileBytes = 0;
};

bool FillDialog(Running& run, int command, const char* title, const std::string& path, double* pressed) {
  PostMessageA(run.main(), WM_COMMAND, command, 0);
  HWND dialog = WaitForDialog(title, run.pid(), 10000);
  if (dialog == nullptr) return false;
  SendMessageA(GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  *pressed = Now();
  PressButton(dialog, IDOK);
  return true;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool Measure(const std::string& picture, const std::string& out, Figures* f) {
  Running run;
  std::string error;
  if (!run.Start(Mirtav(), &error)) {
    std::printf("start: %s\n", error.c_str());
    return false;
  }
  // What the program's steps are held against, on the same bytes.
  std::vector<char> bytes;
  {
    HANDLE file = CreateFileA(picture.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.resize(GetFileSize(file, nullptr));
    DWORD got = 0;
    ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);  // warms the cache
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    // Into new memory, as any open must read: under Wine the first touch of
    // fresh pages costs more than the copy from the cache.
    const double t = Now();
    HGLOBAL fresh = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* into = GlobalLock(fresh);
    ReadFile(file, into, static_cast<DWORD>(bytes.size()), &got, nullptr);
    f->read = Now() - t;
    GlobalUnlock(fresh);
    GlobalFree(fresh);
    CloseHandle(file);
  }
  f->fileBytes = bytes.size();
  std::vector<char> copy(bytes.size());
  double t = Now();
  std::memcpy(copy.data(), bytes.data(), bytes.size());
  f->copy = Now() - t;
  const std::string plain = JoinPath(out, "plain-write.bin");
  f->write = 1e9;
  for (int i = 0; i < 2; ++i) {  // the faster of two: the first may meet a cold disk
    DeleteFileA(plain.c_str());
    t = Now();
    HANDLE w = CreateFileA(plain.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD put = 0;
    WriteFile(w, copy.data(), static_cast<DWORD>(copy.size()), &put, nullptr);
    CloseHandle(w);
    f->write = std::min(f->write, Now() - t);
  }
  DeleteFileA(plain.c_str());

  double pressed = 0;
  const std::string name = picture.substr(picture.rfind('\\') + 1);
  if (!FillDialog(run, 101, "Select a 4bit/8bit bitmap file.", picture, &pressed)) return false;
  if (!WaitUntil([&] { return WindowText(run.main()).find(name) != std::string::npos; }, 60000, 1)) return false;
  f->open = Now() - pressed;

  std::vector<double> paints;
  for (int i = 0; i < 5; ++i) {
    t = Now();
    RedrawWindow(run.main(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SendMessageA(run.main(), WM_NULL, 0, 0);
    paints.push_back(Now() - t);
  }
  f->paint = Median(paints);

  // Three rounds from the table as opened, each figure their median:
  // Randomize PLT, the sorts by hue, lightness and use, Undo, Remove unused
  // entries, Merge duplicate colours to its message box; then Undo back to
  // the opened table, which enables Randomize PLT again. The order commands
  // go as the palette window's menu sends them: each returns once its new
  // order is applied and the picture repainted.
  HWND randomise = run.Button(110);
  auto send = [&](int command) {
    DWORD_PTR answer = 0;
    return SendMessageTimeoutA(run.main(), WM_COMMAND, command, 0, SMTO_NORMAL, 60000, &answer) != 0;
  };
  auto randomiseOnce = [&] {
    const double start = Now();
    PostMessageA(run.main(), WM_COMMAND, 102, 0);
    if (!WaitUntil([&] { return !IsWindowEnabled(randomise); }, 60000, 1)) return -1.0;
    SendMessageA(run.main(), WM_NULL, 0, 0);
    return Now() - start;
  };
  std::vector<double> randomised, orders[6];
  for (int round = 0; round < 3; ++round) {
    randomised.push_back(randomiseOnce());
    if (randomised.back() < 0) return false;
    const int orderCommands[5] = {152, 153, 154, 150, 155};
    for (int i = 0; i < 5; ++i) {
      t = Now();
      if (!send(orderCommands[i])) return false;
      orders[i].push_back(Now() - t);
    }
    t = Now();
    PostMessageA(run.main(), WM_COMMAND, 156, 0);
    HWND merged = nullptr;  // sought every millisecond, not at the driver's usual step
    WaitUntil([&] {
      for (HWND w : FindTopLevel("#32770", "Information", run.pid())) merged = IsWindowVisible(w) ? w : merged;
      return merged != nullptr;
    }, 60000, 1);
    orders[5].push_back(Now() - t);
    if (merged == nullptr) return false;
    PressButton(merged, IDOK);
    WaitGone(merged, 5000);
    for (int i = 0; i < 5; ++i) {  // the merge, the removal, the two sorts left, Randomize PLT
      if (!send(150)) return false;
    }
    if (!WaitUntil([&] { return IsWindowEnabled(randomise) != FALSE; }, 60000, 1)) return false;
  }
  f->randomise = Median(randomised);
  for (int i = 0; i < 6; ++i) f->order[i] = Median(orders[i]);
  if (randomiseOnce() < 0) return false;  // a changed picture to save

  const std::string saved = JoinPath(out, "bench-" + name);
  DeleteFileA(saved.c_str());
  if (!FillDialog(run, 104, "Assign a BMP or TIF file to save.", saved, &pressed)) return false;
  HWND box = WaitForDialog("Information", run.pid(), 60000);
  f->save = Now() - pressed;
  if (box == nullptr) return false;
  PressButton(box, IDOK);
  WaitGone(box, 5000);
  DeleteFileA(saved.c_str());
  return true;
}

// The picture's indices encoded once more as the shuffler's PNG save does:
// decoded here first, then one timed EncodeIndexedPng.
bool BareEncode(const std::string& picture, double* seconds) {
  std::vector<uint8_t> file;
  HANDLE h = CreateFileA(picture.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  file.resize(GetFileSize(h, nullptr));
  DWORD got = 0;
  ReadFile(h, file.data(), static_cast<DWORD>(file.size()), &got, nullptr);
  CloseHandle(h);
  IndexedPngFrame frame;
  if (frame.Open(file.data(), file.size()) != PngResult::kOk) return false;
  const size_t stride = (frame.Width() * frame.Depth() + 31) / 32 * 4;
  std::vector<uint8_t> rows(stride * frame.Height());
  if (frame.CopyIndexRows(rows.data(), rows.size(), stride, frame.Depth(), true) != PngResult::kOk) return false;
  IndexRows source;
  source.rows = rows.data();
  source.size = rows.size();
  source.stride = stride;
  source.width = frame.Width();
  source.height = frame.Height();
  source.depth = frame.Depth();
  source.bottomUp = true;
  std::vector<uint8_t> encoded;
  const double t = Now();
  const PngResult result = EncodeIndexedPng(source, frame.Depth(), frame.Palette().data(),
                                            static_cast<uint32_t>(frame.Palette().size()), false, &encoded);
  *seconds = Now() - t;
  return result == PngResult::kOk;
}

// Opens a PNG, then times Randomize PLT and Save as PNG together.
bool MeasurePng(const std::string& picture, const std::string& out, double* seconds) {
  Running run;
  std::string error;
  if (!run.Start(Mirtav(), &error)) return false;
  double pressed = 0;
  const std::string name = picture.substr(picture.rfind('\\') + 1);
  if (!FillDialog(run, 101, "Select a 4bit/8bit bitmap file.", picture, &pressed)) return false;
  if (!WaitUntil([&] { return WindowText(run.main()).find(name) != std::string::npos; }, 120000, 1)) return false;
  SendMessageA(run.main(), WM_NULL, 0, 0);
  const std::string saved = JoinPath(out, "bench-" + name);
  DeleteFileA(saved.c_str());
  const double t = Now();
  PostMessageA(run.main(), WM_COMMAND, 102, 0);
  if (!WaitUntil([&] { return !IsWindowEnabled(run.Button(110)); }, 60000, 1)) return false;
  const double randomise = Now() - t;
  // The time the save dialog stands open is not the program's.
  if (!FillDialog(run, 104, "Assign a BMP or TIF file to save.", saved, &pressed)) return false;
  HWND box = WaitForDialog("Information", run.pid(), 120000);
  *seconds = randomise + (Now() - pressed);
  if (box == nullptr) return false;
  PressButton(box, IDOK);
  WaitGone(box, 5000);
  DeleteFileA(saved.c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::printf("usage: shuffler_bench BIG.bmp SMALL.bmp OUTFOLDER\n");
    return 2;
  }
  Figures big, small;
  if (!Measure(argv[2], argv[3], &small) || !Measure(argv[1], argv[3], &big)) {
    std::printf("a step did not complete\n");
    return 1;
  }
  auto row = [](const char* what, double b, double s, const char* against, double ref) {
    std::printf("%-28s big %8.1f ms  small %7.1f ms  big-small %8.1f ms  %-14s %8.1f ms  ratio %.2f\n", what,
                1e3 * b, 1e3 * s, 1e3 * (b - s), against, 1e3 * ref, (b - s) / ref);
  };
  std::printf("file bytes: big %llu, small %llu\n", static_cast<unsigned long long>(big.fileBytes),
              static_cast<unsigned long long>(small.fileBytes));
  row("open (OK to title)", big.open, small.open, "one read", big.read);
  row("randomise incl. repaint", big.randomise, small.randomise, "memcpy", big.copy);
  row("BMP writer (OK to box)", big.save, small.save, "one write", big.write);
  std::printf("%-28s big %8.1f ms  small %7.1f ms  ratio big/small %.2f\n", "paint of the main window",
              1e3 * big.paint, 1e3 * small.paint, big.paint / small.paint);
  bench::PrintFigure("shuffler open (big - small)", 1e3 * (big.open - small.open), "one read", 1e3 * big.read);
  bench::PrintFigure("shuffler Randomize PLT (big - small)", 1e3 * (big.randomise - small.randomise),
                     "memcpy", 1e3 * big.copy);
  bench::PrintFigure("shuffler BMP writer (big - small)", 1e3 * (big.save - small.save), "one write",
                     1e3 * big.write);
  bench::PrintFigure("shuffler paint, big picture", 1e3 * big.paint, "small picture", 1e3 * small.paint);
  const char* orderNames[6] = {"Sort by hue", "Sort by lightness", "Sort by use", "Undo",
                               "Remove unused entries (one of 256)", "Merge duplicate colours (one of 255)"};
  for (int i = 0; i < 6; ++i) {
    bench::PrintFigure((std::string("shuffler ") + orderNames[i] + " (big - small)").c_str(),
                       1e3 * (big.order[i] - small.order[i]), "Randomize PLT", 1e3 * (big.randomise - small.randomise),
                       "ms", 1.5);
  }
  if (argc >= 6) {
    // The small picture once before it is timed: the first program to use
    // the imaging component after the server starts loads it from cold,
    // seconds that are no picture's.
    double bigPng = 0, smallPng = 0, encode = 0;
    if (!MeasurePng(argv[5], argv[3], &smallPng) || !MeasurePng(argv[5], argv[3], &smallPng) ||
        !MeasurePng(argv[4], argv[3], &bigPng) || !BareEncode(argv[4], &encode)) {
      std::printf("a PNG step did not complete\n");
      return 1;
    }
    std::printf("%-28s big %8.1f ms  small %7.1f ms  bare encode %8.1f ms  ratio %.2f\n",
                "randomise + save PNG", 1e3 * bigPng, 1e3 * smallPng, 1e3 * encode, (bigPng - smallPng) / encode);
    bench::PrintFigure("shuffler Randomize PLT + Save as PNG (big - small)", 1e3 * (bigPng - smallPng),
                       "bare WIC encode", 1e3 * encode, "ms", 1.3);
  }
  return 0;
}
