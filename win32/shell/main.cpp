#include <windows.h>

#include "win32/shell/RavelleApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  CRavelleApp ravelle;
  if (!ravelle.InitInstance(showCommand)) return 1;
  const int result = ravelle.Run();
  ravelle.ExitInstance();
  return result;
}
