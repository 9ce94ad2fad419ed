// MIRTAV00, the palette order shuffler: program entry. A command line that
// asks for /arrange runs without a window before anything else, the test for
// a running copy included.
#include <windows.h>

#include "common/ui/app_shell.h"
#include "mirtav00/batch_arrange.h"
#include "mirtav00/description.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  const char* commandLine = GetCommandLineA();
  if (mirtav::NamesArrangeCommand(commandLine)) return mirtav::RunArrangeCommandLine(commandLine);
  return RunProgram(instance, showCommand, mirtav::kDescription);
}
