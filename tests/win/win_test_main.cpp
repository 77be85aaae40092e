#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

// The dialog's classes (the progress bar among them) come from the common controls,
// and the folder picker needs COM, as in the program.
int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
  InitCommonControlsEx(&controls);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
