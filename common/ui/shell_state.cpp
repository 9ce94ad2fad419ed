#include "common/ui/shell_state.h"

Program currentProgram = Program::kKestro98;
HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
int screenWidth = 0;
int screenHeight = 0;
COLORREF buttonFaceColour = 0;
bool faceColourKnown = false;
bool styleDetected = false;
