// KESTRO98, the palette colour editor: program entry.
#include <windows.h>

#include "common/ui/app_shell.h"
#include "common/ui/shell_state.h"
#include "kestro98/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  currentProgram = Program::kKestro98;
  const ProgramWindow program = {
      "KESTRO98", "Kestro_Main", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, 8,
      KestroMainWindowProc, ReadKestroSystemSizes};
  return RunProgram(instance, showCommand, program);
}
