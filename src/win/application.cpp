#include "application.h"

#include <commctrl.h>
#include <objbase.h>

#include "main_dialog.h"

namespace vesk::win {

int runApplication(HINSTANCE instance, const std::function<void(MainDialog&)>& prepare) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = 0xFF;  // every class of the standard set
  InitCommonControlsEx(&controls);
  // The folder picker is a COM object of the shell.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  {
    MainDialog dialog(instance);
    if (dialog.create()) {
      if (prepare) prepare(dialog);
      dialog.runModal();
    }
  }

  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace vesk::win
