#pragma once

#include <windows.h>

#include <functional>

namespace vesk::win {

class MainDialog;

// The program: initialises the common controls and COM, runs the main dialog until
// it closes and returns the exit status. `prepare`, when given, runs once the dialog
// has been created, before it is shown.
int runApplication(HINSTANCE instance, const std::function<void(MainDialog&)>& prepare = {});

}  // namespace vesk::win
