// The operating-system services of platform.h on SDL2.
#include <SDL.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/sdl/sound.h"
#include "app/sdl/window.h"
#include "platform/platform.h"

// ---------------------------------------------------------------------------
// Message boxes

namespace {
constexpr int kButtonOk = 1;
constexpr int kButtonYes = 2;
constexpr int kButtonNo = 3;
}  // namespace

Answer platformMessageBox(const char* text, const char* caption, MessageButtons buttons,
                          MessageIcon icon, bool ownedByFocus) {
  const bool yesNo = buttons == MessageButtons::YesNo;
  // Return picks the first button (Yes or OK); Escape or closing the box
  // never means Yes.
  const SDL_MessageBoxButtonData yesNoButtons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kButtonYes, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kButtonNo, "No"},
  };
  const SDL_MessageBoxButtonData okButton[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kButtonOk,
       "OK"},
  };

  Uint32 boxFlags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  switch (icon) {
    case MessageIcon::Stop: boxFlags |= SDL_MESSAGEBOX_ERROR; break;
    case MessageIcon::Exclamation: boxFlags |= SDL_MESSAGEBOX_WARNING; break;
    default: boxFlags |= SDL_MESSAGEBOX_INFORMATION; break;
  }

  SDL_MessageBoxData box{};
  box.flags = boxFlags;
  box.title = caption != nullptr ? caption : "";
  box.message = text != nullptr ? text : "";
  box.numbuttons = yesNo ? 2 : 1;
  box.buttons = yesNo ? yesNoButtons : okButton;

  // Every text also goes to the standard error stream, so that no reason is
  // lost where the box cannot appear.
  std::fprintf(stderr, "%s: %s\n", box.title, box.message);
  std::fflush(stderr);

  // The box opens its own display connection, which a busy display server may
  // refuse, and SDL's other ways to show it may be missing from the machine:
  // try a few times, owned by the focused window where asked and without an
  // owner, with a pause in between.
  SDL_Window* owner = ownedByFocus ? SDL_GetKeyboardFocus() : nullptr;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (attempt > 0) SDL_Delay(100 * static_cast<Uint32>(attempt));
    box.window = attempt % 2 == 0 ? owner : nullptr;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) != 0) continue;
    switch (pressed) {
      case kButtonOk: return Answer::Ok;
      case kButtonYes: return Answer::Yes;
      case kButtonNo: return Answer::No;
      default: return Answer::Cancel;  // closed without a button
    }
  }
  std::fprintf(stderr, "(the message box could not be shown: %s)\n", SDL_GetError());
  return Answer::Cancel;
}

// A player who gives options has a terminal: the answer goes there, with no
// box to dismiss.
void platformCommandLineAnswer(const char* text, const char* caption, bool refusal) {
  if (refusal) {
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
  } else {
    std::printf("%s\n", text);
    std::fflush(stdout);
  }
}

// ---------------------------------------------------------------------------
// The pictures folder

namespace {
// The folder that the user's user-dirs.dirs names in its XDG_PICTURES_DIR
// line ("$HOME/Pictures" or an absolute path), as the desktop's own file
// manager finds it.
bool picturesFromUserDirs(const char* home, char* out, size_t size) {
  char file[1024];
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') {
    std::snprintf(file, sizeof file, "%s/user-dirs.dirs", config);
  } else {
    std::snprintf(file, sizeof file, "%s/.config/user-dirs.dirs", home);
  }
  FILE* dirs = std::fopen(file, "r");
  if (dirs == nullptr) return false;
  constexpr char kKey[] = "XDG_PICTURES_DIR=\"";
  bool found = false;
  char line[1024];
  while (!found && std::fgets(line, sizeof line, dirs) != nullptr) {
    const char* value = line + std::strspn(line, " \t");
    if (std::strncmp(value, kKey, sizeof kKey - 1) != 0) continue;
    value += sizeof kKey - 1;
    const char* end = std::strchr(value, '"');
    if (end == nullptr) continue;
    const int length = static_cast<int>(end - value);
    if (std::strncmp(value, "$HOME", 5) == 0 && (length == 5 || value[5] == '/')) {
      std::snprintf(out, size, "%s%.*s", home, length - 5, value + 5);
      found = true;
    } else if (value[0] == '/') {
      std::snprintf(out, size, "%.*s", length, value);
      found = true;
    }
  }
  std::fclose(dirs);
  return found;
}
}  // namespace

bool platformPicturesFolder(char* out, size_t size) {
  const char* variable = std::getenv("XDG_PICTURES_DIR");
  const char* home = std::getenv("HOME");
  char folder[1024];
  if (variable != nullptr && variable[0] != '\0') {
    std::snprintf(folder, sizeof folder, "%s", variable);
  } else if (home == nullptr || home[0] == '\0') {
    std::snprintf(out, size, "neither XDG_PICTURES_DIR nor HOME is set");
    return false;
  } else if (!picturesFromUserDirs(home, folder, sizeof folder)) {
    std::snprintf(folder, sizeof folder, "%s/Pictures", home);
  }
  struct stat info {};
  if (stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) {
    std::snprintf(out, size, "%s", folder);
    return true;
  }
  // A player's first screenshot makes the folder, as a desktop would have.
  if (mkdir(folder, 0755) == 0) {
    std::snprintf(out, size, "%s", folder);
    return true;
  }
  std::snprintf(out, size, "the pictures folder \"%s\" cannot be made (%s)", folder,
                std::strerror(errno));
  return false;
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

constexpr int kMaxSounds = 8;
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
  cvt.buf = static_cast<Uint8*>(
      SDL_malloc(static_cast<size_t>(cvt.len) * static_cast<size_t>(cvt.len_mult)));
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

  // Read like every data file: only a regular file (a pipe would block the game).
  MappedFile file;
  if (mapFile(fileName, &file) != MapResult::Mapped) return sound;
  SDL_AudioSpec format{};
  SDL_RWops* stream = file.size <= static_cast<size_t>(SDL_MAX_SINT32)
                          ? SDL_RWFromConstMem(file.data, static_cast<int>(file.size))
                          : nullptr;
  const bool loaded = stream != nullptr &&
                      SDL_LoadWAV_RW(stream, 1, &format, &sound->data, &sound->length) != nullptr;
  unmapFile(&file);
  if (!loaded) {
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

void loadSound(const char* fileName) {
  if (fileName != nullptr) findSound(fileName);
}

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
