// Browser key codes to Win32 virtual-key codes.
#include "app/web/keymap.h"

int virtualKeyFromKeyCode(unsigned long keyCode) {
  switch (keyCode) {
    case 59: return 0xBA;   // ;: (Firefox)
    case 61: return 0xBB;   // =+ (Firefox)
    case 173: return 0xBD;  // -_ (Firefox)
    case 224: return 0x5B;  // the command key (Firefox)
    default: break;
  }
  if (keyCode == 0 || keyCode > 255) return 0;
  return static_cast<int>(keyCode);
}
