// The operating-system services of platform.h on SDL2.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "app/sdl/window.h"

// ---------------------------------------------------------------------------
// Message boxes

int platformMessageBox(const char* text, const char* caption, unsigned flags,
                       bool ownedByFocus) {
  const bool yesNo = (flags & 0xFu) == kMbYesNo;
  // Return picks the first button (Yes or OK); Escape or closing the box
  // never means Yes.
  const SDL_MessageBoxButtonData yesNoButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kIdYes, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdNo, "No"},
  };
  const SDL_MessageBoxButtonData okButton[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kIdOk,
       "OK"},
  };

  Uint32 boxFlags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  switch (flags & 0xF0u) {
    case kMbIconStop: boxFlags |= SDL_MESSAGEBOX_ERROR; break;
    case kMbIconExclamation: boxFlags |= SDL_MESSAGEBOX_WARNING; break;
    default: boxFlags |= SDL_MESSAGEBOX_INFORMATION; break;
  }

  SDL_MessageBoxData box{};
  box.flags = boxFlags;
  box.window = ownedByFocus ? SDL_GetKeyboardFocus() : nullptr;
  box.title = caption != nullptr ? caption : "";
  box.message = text != nullptr ? text : "";
  box.numbuttons = yesNo ? 2 : 1;
  box.buttons = yesNo ? yesNoButtons : okButton;

  const int fallback = yesNo ? kIdNo : kIdOk;
  // The box opens its own display connection, which a display server may
  // refuse when it comes just as another client leaves: try again twice.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) SDL_Delay(100);
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) == 0) return pressed < 0 ? fallback : pressed;
  }
  // Without a display there is nowhere else to tell the user.
  std::fprintf(stderr, "%s: %s\n", box.title, box.message);
  return fallback;
}

// ---------------------------------------------------------------------------
// Sound: each wave file is read once, on its first use, and played by the
// audio callback straight from that buffer; a new shot restarts it. Nothing
// is allocated per call, and without a sound device or file it stays silent.

namespace {
struct LoadedSound {
  char name[256] = {};
  Uint8* data = nullptr;  // converted to the device's format; null if unusable
  Uint32 length = 0;
};

constexpr int kMaxSounds = 4;
LoadedSound sounds[kMaxSounds];
int soundCount = 0;

bool audioTried = false;
SDL_AudioDeviceID audioDevice = 0;
SDL_AudioSpec deviceSpec{};

// Shared with the audio thread; changed only with the device locked.
const Uint8* playData = nullptr;
Uint32 playLength = 0;
Uint32 playPosition = 0;

void SDLCALL fillAudio(void*, Uint8* stream, int length) {
  const Uint32 wanted = static_cast<Uint32>(length);
  Uint32 copied = 0;
  if (playData != nullptr && playPosition < playLength) {
    copied = SDL_min(wanted, playLength - playPosition);
    std::memcpy(stream, playData + playPosition, copied);
    playPosition += copied;
  }
  std::memset(stream + copied, deviceSpec.silence, wanted - copied);
}

// Opens the sound device once, in the format of the first sound.
void openAudio(const SDL_AudioSpec& format) {
  audioTried = true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
  SDL_AudioSpec wanted = format;
  wanted.samples = 1024;
  wanted.callback = fillAudio;
  wanted.userdata = nullptr;
  audioDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &deviceSpec, 0);
  if (audioDevice == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return;
  }
  SDL_PauseAudioDevice(audioDevice, 0);
}

// Converts a loaded wave to the device's format; false if that cannot be done.
bool convertToDevice(const SDL_AudioSpec& format, LoadedSound* sound) {
  SDL_AudioCVT cvt;
  const int built = SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq,
                                      deviceSpec.format, deviceSpec.channels, deviceSpec.freq);
  if (built < 0) return false;
  if (built == 0) return true;
  cvt.len = static_cast<int>(sound->length);
  cvt.buf = static_cast<Uint8*>(SDL_malloc(static_cast<size_t>(cvt.len) *
                                           static_cast<size_t>(cvt.len_mult)));
  if (cvt.buf == nullptr) return false;
  std::memcpy(cvt.buf, sound->data, sound->length);
  if (SDL_ConvertAudio(&cvt) != 0) {
    SDL_free(cvt.buf);
    return false;
  }
  SDL_FreeWAV(sound->data);
  sound->data = cvt.buf;  // SDL_FreeWAV is SDL_free
  sound->length = static_cast<Uint32>(cvt.len_cvt);
  return true;
}

// The sound of this file name, read on its first use (also when that fails).
const LoadedSound* findSound(const char* fileName) {
  for (int i = 0; i < soundCount; ++i) {
    if (std::strcmp(sounds[i].name, fileName) == 0) return &sounds[i];
  }
  if (soundCount == kMaxSounds || std::strlen(fileName) >= sizeof sounds[0].name) {
    return nullptr;
  }
  LoadedSound* sound = &sounds[soundCount++];
  std::memcpy(sound->name, fileName, std::strlen(fileName) + 1);

  SDL_AudioSpec format{};
  if (SDL_LoadWAV(fileName, &format, &sound->data, &sound->length) == nullptr) {
    sound->data = nullptr;
    return sound;
  }
  if (!audioTried) openAudio(format);
  if (audioDevice == 0 || !convertToDevice(format, sound)) {
    SDL_FreeWAV(sound->data);
    sound->data = nullptr;
    sound->length = 0;
  }
  return sound;
}
}  // namespace

void platformPlaySound(const char* fileName) {
  if (fileName == nullptr) return;
  const LoadedSound* sound = findSound(fileName);
  if (sound == nullptr || sound->data == nullptr || audioDevice == 0) return;
  SDL_LockAudioDevice(audioDevice);
  playData = sound->data;
  playLength = sound->length;
  playPosition = 0;
  SDL_UnlockAudioDevice(audioDevice);
}

// ---------------------------------------------------------------------------
// Cursor and clocks

void platformWarpCursor(int x, int y) {
  // SDL warps in window coordinates, which are the game's client coordinates.
  if (gameWindow != nullptr) SDL_WarpMouseInWindow(gameWindow, x, y);
}

bool platformCounterFrequency(int64_t* countsPerSecond) {
  const Uint64 frequency = SDL_GetPerformanceFrequency();
  *countsPerSecond = static_cast<int64_t>(frequency);
  return frequency > 0;
}

int64_t platformCounter() { return static_cast<int64_t>(SDL_GetPerformanceCounter()); }

uint32_t platformMilliseconds() { return SDL_GetTicks(); }

void platformSleep(double milliseconds) {
  if (!(milliseconds > 0)) return;
  const double seconds = milliseconds / 1000.0;
  timespec wait{};
  wait.tv_sec = static_cast<time_t>(seconds);
  wait.tv_nsec = static_cast<long>((seconds - static_cast<double>(wait.tv_sec)) * 1e9);
  nanosleep(&wait, nullptr);
}
