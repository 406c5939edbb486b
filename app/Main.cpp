// Program entry of kelpo.exe: the real Windows services.

#include "app/KelpoProgram.h"
#include "platform/win32/Win32Platform.h"

int main() {
  kelpo::Win32Platform platform;
  return kelpo::RunKelpo(platform.Services());
}
