#include <windows.h>

#include "game/KeptGame.h"
#include "win32/shell/RavelleApp.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  CRavelleApp ravelle(nullptr, nullptr, UserKeptGamePath());
  if (!ravelle.InitInstance(showCommand)) return 1;
  const int result = ravelle.Run();
  ravelle.ExitInstance();
  return result;
}
