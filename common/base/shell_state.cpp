#include "common/base/shell_state.h"

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
int screenWidth = 0;
int screenHeight = 0;
COLORREF buttonFaceColour = 0;
bool faceColourKnown = false;
bool styleDetected = false;
