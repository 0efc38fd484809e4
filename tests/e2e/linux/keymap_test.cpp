// SDL key events to Win32 virtual-key codes.
#include <gtest/gtest.h>

#include "app/sdl/keymap.h"

namespace {
SDL_Keysym keysym(SDL_Scancode scancode, SDL_Keycode sym, Uint16 mod = KMOD_NONE) {
  SDL_Keysym k{};
  k.scancode = scancode;
  k.sym = sym;
  k.mod = mod;
  return k;
}

// The keycode a US layout gives a key.
SDL_Keycode usSym(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return SDLK_a + (scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return SDLK_1 + (scancode - SDL_SCANCODE_1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0: return SDLK_0;
    case SDL_SCANCODE_RETURN: return SDLK_RETURN;
    case SDL_SCANCODE_ESCAPE: return SDLK_ESCAPE;
    case SDL_SCANCODE_BACKSPACE: return SDLK_BACKSPACE;
    case SDL_SCANCODE_TAB: return SDLK_TAB;
    case SDL_SCANCODE_SPACE: return SDLK_SPACE;
    case SDL_SCANCODE_MINUS: return SDLK_MINUS;
    case SDL_SCANCODE_EQUALS: return SDLK_EQUALS;
    case SDL_SCANCODE_LEFTBRACKET: return SDLK_LEFTBRACKET;
    case SDL_SCANCODE_RIGHTBRACKET: return SDLK_RIGHTBRACKET;
    case SDL_SCANCODE_BACKSLASH: return SDLK_BACKSLASH;
    case SDL_SCANCODE_NONUSBACKSLASH: return SDLK_BACKSLASH;
    case SDL_SCANCODE_SEMICOLON: return SDLK_SEMICOLON;
    case SDL_SCANCODE_APOSTROPHE: return SDLK_QUOTE;
    case SDL_SCANCODE_GRAVE: return SDLK_BACKQUOTE;
    case SDL_SCANCODE_COMMA: return SDLK_COMMA;
    case SDL_SCANCODE_PERIOD: return SDLK_PERIOD;
    case SDL_SCANCODE_SLASH: return SDLK_SLASH;
    default: return SDL_SCANCODE_TO_KEYCODE(scancode);
  }
}

int usKey(SDL_Scancode scancode, Uint16 mod = KMOD_NONE) {
  return virtualKeyFromKeysym(keysym(scancode, usSym(scancode), mod));
}

TEST(KeyMap, GameKeysGiveTheirWin32Codes) {
  EXPECT_EQ(usKey(SDL_SCANCODE_ESCAPE), 0x1B);
  EXPECT_EQ(usKey(SDL_SCANCODE_LEFT), 0x25);
  EXPECT_EQ(usKey(SDL_SCANCODE_UP), 0x26);
  EXPECT_EQ(usKey(SDL_SCANCODE_RIGHT), 0x27);
  EXPECT_EQ(usKey(SDL_SCANCODE_DOWN), 0x28);
  EXPECT_EQ(usKey(SDL_SCANCODE_W), 'W');
  EXPECT_EQ(usKey(SDL_SCANCODE_A), 'A');
  EXPECT_EQ(usKey(SDL_SCANCODE_S), 'S');
  EXPECT_EQ(usKey(SDL_SCANCODE_D), 'D');
  EXPECT_EQ(usKey(SDL_SCANCODE_F), 'F');
  EXPECT_EQ(usKey(SDL_SCANCODE_I), 'I');
}

TEST(KeyMap, LettersAndDigitsAreCapitalAscii) {
  for (int i = 0; i < 26; ++i) {
    EXPECT_EQ(usKey(static_cast<SDL_Scancode>(SDL_SCANCODE_A + i)), 'A' + i);
    // Shift does not change the code.
    EXPECT_EQ(usKey(static_cast<SDL_Scancode>(SDL_SCANCODE_A + i), KMOD_LSHIFT), 'A' + i);
  }
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(usKey(static_cast<SDL_Scancode>(SDL_SCANCODE_1 + i)), '1' + i);
  }
  EXPECT_EQ(usKey(SDL_SCANCODE_0), '0');
}

TEST(KeyMap, LettersFollowTheLayoutDigitsTheirPosition) {
  // French layout: the key left of Z (US) types 'a'; the digit row types symbols.
  EXPECT_EQ(virtualKeyFromKeysym(keysym(SDL_SCANCODE_Q, SDLK_a)), 'A');
  EXPECT_EQ(virtualKeyFromKeysym(keysym(SDL_SCANCODE_SEMICOLON, SDLK_m)), 'M');
  EXPECT_EQ(virtualKeyFromKeysym(keysym(SDL_SCANCODE_1, SDLK_AMPERSAND)), '1');
  // A letter key that types no Latin letter keeps its US position.
  EXPECT_EQ(virtualKeyFromKeysym(keysym(SDL_SCANCODE_W, 0x0446)), 'W');
  // A punctuation key with a character of its own keeps its US position.
  EXPECT_EQ(virtualKeyFromKeysym(keysym(SDL_SCANCODE_LEFTBRACKET, 0x00FC)), 0xDB);
}

TEST(KeyMap, EditingAndNavigationKeys) {
  EXPECT_EQ(usKey(SDL_SCANCODE_SPACE), 0x20);
  EXPECT_EQ(usKey(SDL_SCANCODE_RETURN), 0x0D);
  EXPECT_EQ(usKey(SDL_SCANCODE_TAB), 0x09);
  EXPECT_EQ(usKey(SDL_SCANCODE_BACKSPACE), 0x08);
  EXPECT_EQ(usKey(SDL_SCANCODE_INSERT), 0x2D);
  EXPECT_EQ(usKey(SDL_SCANCODE_DELETE), 0x2E);
  EXPECT_EQ(usKey(SDL_SCANCODE_HOME), 0x24);
  EXPECT_EQ(usKey(SDL_SCANCODE_END), 0x23);
  EXPECT_EQ(usKey(SDL_SCANCODE_PAGEUP), 0x21);
  EXPECT_EQ(usKey(SDL_SCANCODE_PAGEDOWN), 0x22);
  EXPECT_EQ(usKey(SDL_SCANCODE_CAPSLOCK), 0x14);
  EXPECT_EQ(usKey(SDL_SCANCODE_PAUSE), 0x13);
}

TEST(KeyMap, ModifiersGiveTheSharedCodes) {
  EXPECT_EQ(usKey(SDL_SCANCODE_LSHIFT), 0x10);
  EXPECT_EQ(usKey(SDL_SCANCODE_RSHIFT), 0x10);
  EXPECT_EQ(usKey(SDL_SCANCODE_LCTRL), 0x11);
  EXPECT_EQ(usKey(SDL_SCANCODE_RCTRL), 0x11);
  EXPECT_EQ(usKey(SDL_SCANCODE_LALT), 0x12);
}

TEST(KeyMap, FunctionKeys) {
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(usKey(static_cast<SDL_Scancode>(SDL_SCANCODE_F1 + i)), 0x70 + i);
  }
  EXPECT_EQ(usKey(SDL_SCANCODE_F13), 0x7C);
  EXPECT_EQ(usKey(SDL_SCANCODE_F24), 0x87);
}

TEST(KeyMap, KeypadFollowsNumLock) {
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_0, KMOD_NUM), 0x60);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_7, KMOD_NUM), 0x67);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_9, KMOD_NUM), 0x69);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_PERIOD, KMOD_NUM), 0x6E);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_0), 0x2D);       // Insert
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_1), 0x23);       // End
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_2), 0x28);       // Down
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_5), 0x0C);       // Clear
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_8), 0x26);       // Up
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_9), 0x21);       // Page Up
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_PERIOD), 0x2E);  // Delete
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_DIVIDE), 0x6F);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_MULTIPLY), 0x6A);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_MINUS), 0x6D);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_PLUS), 0x6B);
  EXPECT_EQ(usKey(SDL_SCANCODE_KP_ENTER), 0x0D);
}

TEST(KeyMap, PunctuationGivesTheOemCodes) {
  EXPECT_EQ(usKey(SDL_SCANCODE_SEMICOLON), 0xBA);
  EXPECT_EQ(usKey(SDL_SCANCODE_EQUALS), 0xBB);
  EXPECT_EQ(usKey(SDL_SCANCODE_COMMA), 0xBC);
  EXPECT_EQ(usKey(SDL_SCANCODE_MINUS), 0xBD);
  EXPECT_EQ(usKey(SDL_SCANCODE_PERIOD), 0xBE);
  EXPECT_EQ(usKey(SDL_SCANCODE_SLASH), 0xBF);
  EXPECT_EQ(usKey(SDL_SCANCODE_GRAVE), 0xC0);
  EXPECT_EQ(usKey(SDL_SCANCODE_LEFTBRACKET), 0xDB);
  EXPECT_EQ(usKey(SDL_SCANCODE_BACKSLASH), 0xDC);
  EXPECT_EQ(usKey(SDL_SCANCODE_RIGHTBRACKET), 0xDD);
  EXPECT_EQ(usKey(SDL_SCANCODE_APOSTROPHE), 0xDE);
  EXPECT_EQ(usKey(SDL_SCANCODE_NONUSBACKSLASH), 0xE2);
}

TEST(KeyMap, KeysWithoutACodeGiveZero) {
  EXPECT_EQ(usKey(SDL_SCANCODE_UNKNOWN), 0);
  EXPECT_EQ(usKey(SDL_SCANCODE_AUDIOPLAY), 0);
  EXPECT_EQ(usKey(SDL_SCANCODE_MODE), 0);
}

TEST(KeyMap, AltAndF10AreSystemKeys) {
  EXPECT_TRUE(isSystemKey(keysym(SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT)));
  EXPECT_TRUE(isSystemKey(keysym(SDL_SCANCODE_W, SDLK_w, KMOD_RALT)));
  EXPECT_TRUE(isSystemKey(keysym(SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT)));
  EXPECT_TRUE(isSystemKey(keysym(SDL_SCANCODE_F10, SDLK_F10)));
  EXPECT_FALSE(isSystemKey(keysym(SDL_SCANCODE_W, SDLK_w)));
  EXPECT_FALSE(isSystemKey(keysym(SDL_SCANCODE_W, SDLK_w, KMOD_LSHIFT | KMOD_CTRL | KMOD_NUM)));
  EXPECT_FALSE(isSystemKey(keysym(SDL_SCANCODE_F9, SDLK_F9)));
}
}  // namespace
