#pragma once

#include <windows.h>

namespace vesk::win {

// The program: initialises the common controls and COM, runs the main dialog until
// it closes and returns the exit status.
int runApplication(HINSTANCE instance);

}  // namespace vesk::win
