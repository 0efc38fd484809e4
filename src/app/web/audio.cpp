// Wave files played through Web Audio: each read once into an audio buffer,
// and started from its beginning on every shot. The page's own API, called
// from here, is all the sound there is (the download carries no audio
// library).
#include "app/web/audio.h"

#include <emscripten.h>

#include <cstdint>
#include <cstring>

#include "platform/platform.h"

namespace {
struct Sound {
  char name[256] = {};
  int buffer = 0;  // the page's audio buffer; 0 when the file could not be played
};

constexpr int kMaxSounds = 4;
Sound sounds[kMaxSounds];
int soundCount = 0;
unsigned started = 0;

uint32_t read32(const unsigned char* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t read16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

// The PCM samples of a RIFF wave file (8 or 16 bits, mono or stereo); false
// for anything else or a file whose chunks do not fit.
bool parseWave(const MappedFile& file, int* channels, int* bits, const unsigned char** samples,
               int* bytes, int* rate) {
  const unsigned char* d = file.data;
  const size_t size = file.size;
  if (size < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0) {
    return false;
  }
  size_t at = 12;
  bool haveFormat = false;
  while (at + 8 <= size) {
    const uint32_t length = read32(d + at + 4);
    const size_t body = at + 8;
    if (length > size - body) return false;
    if (std::memcmp(d + at, "fmt ", 4) == 0 && length >= 16) {
      if (read16(d + body) != 1) return false;  // PCM only
      *channels = read16(d + body + 2);
      *rate = static_cast<int>(read32(d + body + 4));
      *bits = read16(d + body + 14);
      haveFormat = true;
    } else if (std::memcmp(d + at, "data", 4) == 0 && haveFormat) {
      if ((*channels != 1 && *channels != 2) || (*bits != 8 && *bits != 16)) return false;
      // Web Audio plays from 3,000 to 768,000 samples a second.
      if (*rate < 3000 || *rate > 768000 || length > 0x7FFFFFFFu) return false;
      *samples = d + body;
      *bytes = static_cast<int>(length - length % static_cast<uint32_t>(*channels * *bits / 8));
      return *bytes > 0;
    }
    at = body + length + (length & 1);
  }
  return false;
}

// The wave's samples as a Web Audio buffer of the page (Module.audio, made
// with the first), or 0 where the page has no sound.
int loadBuffer(const char* fileName) {
  MappedFile file;
  if (mapFile(fileName, &file) != MapResult::Mapped) return 0;
  int channels = 0, bits = 0, bytes = 0, rate = 0;
  const unsigned char* samples = nullptr;
  int buffer = 0;
  if (parseWave(file, &channels, &bits, &samples, &bytes, &rate)) {
    // JavaScript, which clang-format would read as C++.
    // clang-format off
    buffer = EM_ASM_INT({
      // (No comma outside brackets: it would end the macro's argument.)
      var channels = $0;
      var bits = $1;
      var at = $2;
      var bytes = $3;
      var rate = $4;
      var audio = Module.audio;
      try {
        if (!audio) {
          var Context = window.AudioContext || window.webkitAudioContext;
          audio = Module.audio = ({context: new Context(), buffers: [null], playing: [null]});
        }
        var step = channels * bits / 8;
        var frames = bytes / step;
        var buffer = audio.context.createBuffer(channels, frames, rate);
        for (var c = 0; c < channels; ++c) {
          var out = buffer.getChannelData(c);
          for (var i = 0, p = at + c * bits / 8; i < frames; ++i, p += step) {
            out[i] = bits == 8 ? (HEAPU8[p] - 128) / 128
                               : ((HEAPU8[p] | HEAPU8[p + 1] << 8) << 16 >> 16) / 32768;
          }
        }
        audio.buffers.push(buffer);
        audio.playing.push(null);
        return audio.buffers.length - 1;
      } catch (e) {
        return 0;
      }
    }, channels, bits, samples, bytes, rate);
    // clang-format on
  }
  unmapFile(&file);
  return buffer;
}

// Starts buffer `buffer` from its beginning, stopping the play before it;
// `heard` false plays it at no volume.
void startBuffer(int buffer, bool heard) {
  // clang-format off
  EM_ASM({
    var audio = Module.audio;
    var context = audio.context;
    if (audio.playing[$0]) audio.playing[$0].stop();
    var source = context.createBufferSource();
    source.buffer = audio.buffers[$0];
    var gain = context.createGain();
    gain.gain.value = $1 ? 1 : 0;
    source.connect(gain);
    gain.connect(context.destination);
    source.start();
    audio.playing[$0] = source;
  }, buffer, heard ? 1 : 0);
  // clang-format on
}
}  // namespace

void resumeAudio() {
  // clang-format off
  EM_ASM({
    var audio = Module.audio;
    if (audio && audio.context.state == 'suspended') audio.context.resume();
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
  sound->buffer = loadBuffer(fileName);
  return sound;
}
}  // namespace

void loadWave(const char* fileName) {
  const Sound* sound = loadedSound(fileName);
  if (sound == nullptr || sound->buffer == 0) return;
  // Played once, unheard, so that the first shot's frame does not meet the
  // page's first play either.
  startBuffer(sound->buffer, false);
}

void playWave(const char* fileName) {
  const Sound* sound = loadedSound(fileName);
  if (sound == nullptr || sound->buffer == 0) return;
  // The page's audio made at start-up, before the player's first click or
  // touch: a page that has had one may resume it from here.
  resumeAudio();
  startBuffer(sound->buffer, true);
  ++started;
}

unsigned wavesStarted() { return started; }
