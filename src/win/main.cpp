#include "application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return vesk::win::runApplication(instance);
}
