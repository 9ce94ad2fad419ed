// A stand-in PDF viewer for the Help tests: registered in a test prefix as the
// program that opens .pdf files, it writes the path it was asked to open into
// viewer-received.txt beside itself and exits.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  std::string path = commandLine ? commandLine : "";
  while (!path.empty() && path.front() == ' ') path.erase(0, 1);
  while (!path.empty() && path.back() == ' ') path.pop_back();
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);

  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  char* slash = std::strrchr(self, '\\');
  if (slash) slash[1] = '\0';
  std::string outName = std::string(self) + "viewer-received.txt";
  std::string partName = outName + ".part";
  // Written under another name first, so a reader never sees half a path.
  FILE* f = std::fopen(partName.c_str(), "wb");
  if (!f) return 1;
  bool ok = std::fwrite(path.data(), 1, path.size(), f) == path.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || !MoveFileExA(partName.c_str(), outName.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
  return 0;
}
