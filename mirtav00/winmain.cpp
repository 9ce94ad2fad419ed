// MIRTAV00, the palette order shuffler: program entry.
#include <windows.h>

#include "common/ui/app_shell.h"
#include "mirtav00/description.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return RunProgram(instance, showCommand, mirtav::kDescription);
}
