// A window, dialog or hook procedure that lets no std::bad_alloc out. An
// exception cannot pass through the system's frames between DispatchMessage
// and the procedure (in the 32-bit build it ends the program), so a message
// whose handling ran out of memory is answered here as handled (0); the
// handler's guards have given back what they held on the way out. A handler
// that can tell the user (a command) catches its own failure first.
#pragma once

#include <windows.h>

#include <new>

template <typename Result, Result(CALLBACK* Procedure)(HWND, UINT, WPARAM, LPARAM)>
Result CALLBACK NoBadAlloc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return Procedure(window, message, wParam, lParam);
  } catch (const std::bad_alloc&) {
    return 0;
  }
}
