// SDL key codes to the Win32 virtual-key numbers of the game's key table.
#include "app/sdl/keymap.h"

namespace {
// Win32 virtual-key codes used below.
constexpr int kVkBack = 0x08;
constexpr int kVkTab = 0x09;
constexpr int kVkClear = 0x0C;
constexpr int kVkReturn = 0x0D;
constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;
constexpr int kVkMenu = 0x12;
constexpr int kVkPause = 0x13;
constexpr int kVkCapital = 0x14;
constexpr int kVkEscape = 0x1B;
constexpr int kVkSpace = 0x20;
constexpr int kVkPrior = 0x21;
constexpr int kVkNext = 0x22;
constexpr int kVkEnd = 0x23;
constexpr int kVkHome = 0x24;
constexpr int kVkLeft = 0x25;
constexpr int kVkUp = 0x26;
constexpr int kVkRight = 0x27;
constexpr int kVkDown = 0x28;
constexpr int kVkSnapshot = 0x2C;
constexpr int kVkInsert = 0x2D;
constexpr int kVkDelete = 0x2E;
constexpr int kVkLWin = 0x5B;
constexpr int kVkRWin = 0x5C;
constexpr int kVkApps = 0x5D;
constexpr int kVkNumpad0 = 0x60;
constexpr int kVkMultiply = 0x6A;
constexpr int kVkAdd = 0x6B;
constexpr int kVkSubtract = 0x6D;
constexpr int kVkDecimal = 0x6E;
constexpr int kVkDivide = 0x6F;
constexpr int kVkF1 = 0x70;
constexpr int kVkF13 = 0x7C;
constexpr int kVkNumLock = 0x90;
constexpr int kVkScroll = 0x91;
constexpr int kVkOem1 = 0xBA;       // ;:
constexpr int kVkOemPlus = 0xBB;    // =+
constexpr int kVkOemComma = 0xBC;   // ,<
constexpr int kVkOemMinus = 0xBD;   // -_
constexpr int kVkOemPeriod = 0xBE;  // .>
constexpr int kVkOem2 = 0xBF;       // /?
constexpr int kVkOem3 = 0xC0;       // `~
constexpr int kVkOem4 = 0xDB;       // [{
constexpr int kVkOem5 = 0xDC;       // \|
constexpr int kVkOem6 = 0xDD;       // ]}
constexpr int kVkOem7 = 0xDE;       // '"
constexpr int kVkOem102 = 0xE2;     // the extra key of ISO keyboards

// The punctuation characters of a US keyboard and their codes.
int punctuationKey(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_SEMICOLON: return kVkOem1;
    case SDLK_EQUALS: return kVkOemPlus;
    case SDLK_COMMA: return kVkOemComma;
    case SDLK_MINUS: return kVkOemMinus;
    case SDLK_PERIOD: return kVkOemPeriod;
    case SDLK_SLASH: return kVkOem2;
    case SDLK_BACKQUOTE: return kVkOem3;
    case SDLK_LEFTBRACKET: return kVkOem4;
    case SDLK_BACKSLASH: return kVkOem5;
    case SDLK_RIGHTBRACKET: return kVkOem6;
    case SDLK_QUOTE: return kVkOem7;
    default: return 0;
  }
}

// The same keys by position, for layouts that put other characters on them.
int punctuationPosition(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_SEMICOLON: return kVkOem1;
    case SDL_SCANCODE_EQUALS: return kVkOemPlus;
    case SDL_SCANCODE_COMMA: return kVkOemComma;
    case SDL_SCANCODE_MINUS: return kVkOemMinus;
    case SDL_SCANCODE_PERIOD: return kVkOemPeriod;
    case SDL_SCANCODE_SLASH: return kVkOem2;
    case SDL_SCANCODE_GRAVE: return kVkOem3;
    case SDL_SCANCODE_LEFTBRACKET: return kVkOem4;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return kVkOem5;
    case SDL_SCANCODE_RIGHTBRACKET: return kVkOem6;
    case SDL_SCANCODE_APOSTROPHE: return kVkOem7;
    default: return 0;
  }
}

// Keypad keys: digits and the decimal point depend on Num Lock.
int keypadKey(SDL_Scancode scancode, bool numLock) {
  switch (scancode) {
    case SDL_SCANCODE_KP_DIVIDE: return kVkDivide;
    case SDL_SCANCODE_KP_MULTIPLY: return kVkMultiply;
    case SDL_SCANCODE_KP_MINUS: return kVkSubtract;
    case SDL_SCANCODE_KP_PLUS: return kVkAdd;
    case SDL_SCANCODE_KP_ENTER: return kVkReturn;
    default: break;
  }
  if (scancode == SDL_SCANCODE_KP_PERIOD) return numLock ? kVkDecimal : kVkDelete;
  if (scancode == SDL_SCANCODE_KP_0) return numLock ? kVkNumpad0 : kVkInsert;
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
    const int digit = scancode - SDL_SCANCODE_KP_1 + 1;
    if (numLock) return kVkNumpad0 + digit;
    // The navigation keys printed on the keypad, 1 to 9.
    constexpr int kNavigation[9] = {kVkEnd,   kVkDown, kVkNext, kVkLeft, kVkClear,
                                    kVkRight, kVkHome, kVkUp,   kVkPrior};
    return kNavigation[digit - 1];
  }
  return 0;
}

// Keys that are the same on every layout.
int fixedKey(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return kVkF1 + (scancode - SDL_SCANCODE_F1);
  }
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
    return kVkF13 + (scancode - SDL_SCANCODE_F13);
  }
  switch (scancode) {
    case SDL_SCANCODE_ESCAPE: return kVkEscape;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2: return kVkReturn;
    case SDL_SCANCODE_TAB: return kVkTab;
    case SDL_SCANCODE_BACKSPACE: return kVkBack;
    case SDL_SCANCODE_SPACE: return kVkSpace;
    case SDL_SCANCODE_LEFT: return kVkLeft;
    case SDL_SCANCODE_UP: return kVkUp;
    case SDL_SCANCODE_RIGHT: return kVkRight;
    case SDL_SCANCODE_DOWN: return kVkDown;
    case SDL_SCANCODE_INSERT: return kVkInsert;
    case SDL_SCANCODE_DELETE: return kVkDelete;
    case SDL_SCANCODE_HOME: return kVkHome;
    case SDL_SCANCODE_END: return kVkEnd;
    case SDL_SCANCODE_PAGEUP: return kVkPrior;
    case SDL_SCANCODE_PAGEDOWN: return kVkNext;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return kVkShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return kVkControl;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return kVkMenu;
    case SDL_SCANCODE_LGUI: return kVkLWin;
    case SDL_SCANCODE_RGUI: return kVkRWin;
    case SDL_SCANCODE_APPLICATION: return kVkApps;
    case SDL_SCANCODE_CAPSLOCK: return kVkCapital;
    case SDL_SCANCODE_NUMLOCKCLEAR: return kVkNumLock;
    case SDL_SCANCODE_SCROLLLOCK: return kVkScroll;
    case SDL_SCANCODE_PAUSE: return kVkPause;
    case SDL_SCANCODE_PRINTSCREEN: return kVkSnapshot;
    // The extra key of ISO keyboards has its own code whatever it types.
    case SDL_SCANCODE_NONUSBACKSLASH: return kVkOem102;
    default: return 0;
  }
}
}  // namespace

int virtualKeyFromKeysym(const SDL_Keysym& keysym) {
  const SDL_Scancode scancode = keysym.scancode;
  const SDL_Keycode sym = keysym.sym;

  if (const int key = fixedKey(scancode)) return key;
  if (const int key = keypadKey(scancode, (keysym.mod & KMOD_NUM) != 0)) return key;

  // The digit row gives the digit codes on every layout, shifted or not.
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + (scancode - SDL_SCANCODE_1);
  }
  if (scancode == SDL_SCANCODE_0) return '0';

  // Letters as the layout places them; capital ASCII is the Win32 code.
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
  if (const int key = punctuationKey(sym)) return key;

  // A letter key whose layout character is no Latin letter keeps its position.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  return punctuationPosition(scancode);
}

bool isSystemKey(const SDL_Keysym& keysym) {
  return (keysym.mod & KMOD_ALT) != 0 || keysym.scancode == SDL_SCANCODE_F10;
}
