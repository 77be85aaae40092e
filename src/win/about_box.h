#pragma once

#include <windows.h>

namespace vesk::win {

// Runs the about box (template 100) modally over `owner`; returns when OK or the
// close box has closed it.
void showAboutBox(HINSTANCE instance, HWND owner);

}  // namespace vesk::win
