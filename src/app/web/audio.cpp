// Wave files played through OpenAL: read once, restarted on every shot.
#include "app/web/audio.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <emscripten.h>

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace {
struct Sound {
  char name[256] = {};
  ALuint source = 0;  // 0 when the file could not be played
};

constexpr int kMaxSounds = 4;
Sound sounds[kMaxSounds];
int soundCount = 0;
ALCdevice* device = nullptr;
ALCcontext* context = nullptr;
bool openTried = false;
unsigned started = 0;

uint32_t read32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t read16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

// The PCM samples of a RIFF wave file (8 or 16 bits, mono or stereo); false
// for anything else or a file whose chunks do not fit.
bool parseWave(const MappedFile& file, ALenum* format, const unsigned char** samples,
               ALsizei* bytes, ALsizei* rate) {
  const unsigned char* d = file.data;
  const size_t size = file.size;
  if (size < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0) {
    return false;
  }
  size_t at = 12;
  int channels = 0, bits = 0;
  bool haveFormat = false;
  while (at + 8 <= size) {
    const uint32_t length = read32(d + at + 4);
    const size_t body = at + 8;
    if (length > size - body) return false;
    if (std::memcmp(d + at, "fmt ", 4) == 0 && length >= 16) {
      if (read16(d + body) != 1) return false;  // PCM only
      channels = read16(d + body + 2);
      *rate = static_cast<ALsizei>(read32(d + body + 4));
      bits = read16(d + body + 14);
      haveFormat = true;
    } else if (std::memcmp(d + at, "data", 4) == 0 && haveFormat) {
      if (channels == 1 && bits == 8)
        *format = AL_FORMAT_MONO8;
      else if (channels == 1 && bits == 16)
        *format = AL_FORMAT_MONO16;
      else if (channels == 2 && bits == 8)
        *format = AL_FORMAT_STEREO8;
      else if (channels == 2 && bits == 16)
        *format = AL_FORMAT_STEREO16;
      else
        return false;
      if (*rate <= 0) return false;
      *samples = d + body;
      *bytes = static_cast<ALsizei>(length - length % static_cast<uint32_t>(channels * bits / 8));
      return *bytes > 0;
    }
    at = body + length + (length & 1);
  }
  return false;
}

bool openDevice() {
  if (openTried) return context != nullptr;
  openTried = true;
  device = alcOpenDevice(nullptr);
  if (device == nullptr) return false;
  context = alcCreateContext(device, nullptr);
  if (context == nullptr) return false;
  alcMakeContextCurrent(context);
  return true;
}

ALuint loadSource(const char* fileName) {
  if (!openDevice()) return 0;
  MappedFile file;
  if (mapFile(fileName, &file) != MapResult::Mapped) return 0;
  ALenum format = 0;
  const unsigned char* samples = nullptr;
  ALsizei bytes = 0, rate = 0;
  ALuint source = 0;
  if (parseWave(file, &format, &samples, &bytes, &rate)) {
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, samples, bytes, rate);
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(buffer));
  }
  unmapFile(&file);
  return source;
}
}  // namespace

void resumeAudio() {
  // Emscripten's OpenAL keeps its Web Audio context in AL.currentCtx.
  // JavaScript, which clang-format would read as C++ (and split its !== and ===).
  // clang-format off
  EM_ASM({
    if (typeof AL !== 'undefined' && AL.currentCtx && AL.currentCtx.audioCtx &&
        AL.currentCtx.audioCtx.state === 'suspended') {
      AL.currentCtx.audioCtx.resume();
    }
  });
  // clang-format on
}

namespace {
// The sound of that file, loaded on first use; nullptr when there is no room.
Sound* loadedSound(const char* fileName) {
  if (fileName == nullptr || std::strlen(fileName) >= sizeof sounds[0].name) return nullptr;
  for (int i = 0; i < soundCount; ++i) {
    if (std::strcmp(sounds[i].name, fileName) == 0) return &sounds[i];
  }
  if (soundCount == kMaxSounds) return nullptr;
  Sound* sound = &sounds[soundCount++];
  std::memcpy(sound->name, fileName, std::strlen(fileName) + 1);
  sound->source = loadSource(fileName);
  return sound;
}
}  // namespace

void loadWave(const char* fileName) {
  const Sound* sound = loadedSound(fileName);
  if (sound == nullptr || sound->source == 0) return;
  // Started and stopped once, unheard, so that the first shot's frame does not
  // meet the audio library's first play either.
  alSourcef(sound->source, AL_GAIN, 0);
  alSourcePlay(sound->source);
  alSourceStop(sound->source);
  alSourcef(sound->source, AL_GAIN, 1);
}

void playWave(const char* fileName) {
  const Sound* sound = loadedSound(fileName);
  if (sound == nullptr || sound->source == 0) return;
  // The audio device opened at start-up, before the player's first click or
  // touch: a page that has had one may resume it from here.
  resumeAudio();
  alSourceStop(sound->source);
  alSourceRewind(sound->source);
  alSourcePlay(sound->source);
  ++started;
}

unsigned wavesStarted() { return started; }
