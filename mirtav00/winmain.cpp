// MIRTAV00, the palette order shuffler: program entry.
#include <windows.h>

#include "common/ui/app_shell.h"
#include "common/ui/shell_state.h"
#include "mirtav00/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  currentProgram = Program::kMirtav00;
  // As an overlapped window it still gets a caption; fixed size, no maximise box.
  const ProgramWindow program = {"MIR_TAV_00", "Dravel_Main", WS_SYSMENU | WS_MINIMIZEBOX, 9,
                                 MirtavMainWindowProc, ReadMirtavSystemSizes};
  return RunProgram(instance, showCommand, program);
}
