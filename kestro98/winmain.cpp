// KESTRO98, the palette colour editor: program entry.
#include <windows.h>

#include "common/ui/app_shell.h"
#include "kestro98/description.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  return RunProgram(instance, showCommand, kestro::kDescription);
}
