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
// A growing string in a fixed buffer that remembers whether it overflowed, so
// that a name too long for it is refused rather than cut short.
struct Bounded {
  char* out;
  size_t size;
  size_t length = 0;
  bool overflow = false;
  void add(char c) {
    if (length + 1 < size) {
      out[length++] = c;
      out[length] = '\0';
    } else {
      overflow = true;
    }
  }
  void add(const char* text) {
    while (*text != '\0') add(*text++);
  }
};

bool nameCharacter(char c, bool first) {
  return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (!first && c >= '0' && c <= '9');
}

// Expands "$NAME" or "${NAME}" at `text` (just past the '$') from the
// environment, as the shell that sources the file would; returns the first
// character after it, or null where the braces are not closed. A lone '$'
// stays itself.
const char* expandVariable(const char* text, Bounded* value) {
  const bool braced = *text == '{';
  const char* name = braced ? text + 1 : text;
  const char* end = name;
  while (nameCharacter(*end, end == name)) ++end;
  if (braced && *end != '}') return nullptr;
  if (end == name) {
    value->add('$');
    return text;
  }
  char variable[64];
  if (static_cast<size_t>(end - name) >= sizeof variable) return nullptr;
  std::memcpy(variable, name, static_cast<size_t>(end - name));
  variable[end - name] = '\0';
  const char* set = std::getenv(variable);
  if (set != nullptr) value->add(set);
  return braced ? end + 1 : end;
}

// The value of one shell assignment's word, read as the shell reads it:
// double quotes (with \" \\ \$ \` escapes and variables expanded), single
// quotes (literal), unquoted characters (a backslash takes the next one
// literally); the word ends at unquoted white space, ';' or '#'. False when
// the word is not sound shell (an unclosed quote or brace) or too long.
bool shellWord(const char* text, char* out, size_t size) {
  Bounded value{out, size};
  out[0] = '\0';
  const char* c = text;
  while (*c != '\0' && *c != '\n' && *c != ' ' && *c != '\t' && *c != ';' && *c != '#') {
    if (*c == '"') {
      for (++c; *c != '"'; ++c) {
        if (*c == '\0') return false;
        if (*c == '\\' && (c[1] == '"' || c[1] == '\\' || c[1] == '$' || c[1] == '`')) {
          value.add(*++c);
        } else if (*c == '$') {
          c = expandVariable(c + 1, &value);
          if (c == nullptr) return false;
          --c;
        } else {
          value.add(*c);
        }
      }
      ++c;
    } else if (*c == '\'') {
      const char* close = std::strchr(c + 1, '\'');
      if (close == nullptr) return false;
      for (++c; c < close; ++c) value.add(*c);
      ++c;
    } else if (*c == '\\' && c[1] != '\0' && c[1] != '\n') {
      value.add(c[1]);
      c += 2;
    } else if (*c == '$') {
      c = expandVariable(c + 1, &value);
      if (c == nullptr) return false;
    } else {
      value.add(*c++);
    }
  }
  return !value.overflow;
}

// The folder that the user's user-dirs.dirs names in XDG_PICTURES_DIR, as the
// shell that sources the file finds it: the last assignment wins. A value that
// is not an absolute path is no folder (the desktop's own tools ignore it).
bool picturesFromUserDirs(const char* home, char* out, size_t size) {
  char file[1024];
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const int written = config != nullptr && config[0] == '/'
                          ? std::snprintf(file, sizeof file, "%s/user-dirs.dirs", config)
                          : std::snprintf(file, sizeof file, "%s/.config/user-dirs.dirs", home);
  if (written < 0 || static_cast<size_t>(written) >= sizeof file) return false;
  FILE* dirs = std::fopen(file, "r");
  if (dirs == nullptr) return false;
  constexpr char kKey[] = "XDG_PICTURES_DIR=";
  bool assigned = false;
  char line[2048];
  while (std::fgets(line, sizeof line, dirs) != nullptr) {
    const char* text = line + std::strspn(line, " \t");
    if (std::strncmp(text, kKey, sizeof kKey - 1) != 0) continue;
    char value[1024];
    if (!shellWord(text + sizeof kKey - 1, value, sizeof value)) continue;
    assigned = value[0] == '/' && std::snprintf(out, size, "%s", value) < static_cast<int>(size);
  }
  std::fclose(dirs);
  return assigned;
}
}  // namespace

bool platformPicturesFolder(char* out, size_t size) {
  // XDG's variables hold absolute paths; a relative one is ignored.
  const char* variable = std::getenv("XDG_PICTURES_DIR");
  const char* home = std::getenv("HOME");
  char folder[1024];
  if (variable != nullptr && variable[0] == '/') {
    if (std::snprintf(folder, sizeof folder, "%s", variable) >= static_cast<int>(sizeof folder)) {
      std::snprintf(out, size, "the pictures folder's name is too long");
      return false;
    }
  } else if (home == nullptr || home[0] == '\0') {
    std::snprintf(out, size, "neither XDG_PICTURES_DIR nor HOME is set");
    return false;
  } else if (!picturesFromUserDirs(home, folder, sizeof folder) &&
             std::snprintf(folder, sizeof folder, "%s/Pictures", home) >=
                 static_cast<int>(sizeof folder)) {
    std::snprintf(out, size, "the pictures folder's name is too long");
    return false;
  }
  if (std::strlen(folder) >= size) {
    std::snprintf(out, size, "the pictures folder's name is too long");
    return false;
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
