// Recorded games: the file format's reader and writer, the gate the input
// functions pass through, and the state digest (see recording.h).
#include "app/recording.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "app/exit_codes.h"
#include "app/input.h"
#include "game/state.h"
#include "math/game_math.h"
#include "platform/platform.h"
#include "world/particles.h"

namespace {
constexpr char kMagic[8] = {'S', 'H', 'O', 'O', 'T', 'R', 'E', 'C'};
constexpr double kMouseLimit = 1e6;

uint64_t readLittle(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Bytes of a record's operand after its tag.
size_t operandSize(RecordTag tag) {
  switch (tag) {
    case RecordTag::KeyDown:
    case RecordTag::KeyUp: return 1;  // the key
    case RecordTag::Mouse:
    case RecordTag::Look: return 16;  // two doubles
    case RecordTag::Fire: return 0;
    case RecordTag::Pass: return 1;  // the window's active state
    case RecordTag::End: return 12;  // frames, state digest
    case RecordTag::DeviceKeyDown:
    case RecordTag::DeviceKeyUp: return 2;  // device, key
  }
  return 0;
}
}  // namespace

namespace {
bool knownTag(uint8_t byte) {
  return byte >= static_cast<uint8_t>(RecordTag::KeyDown) &&
         byte <= static_cast<uint8_t>(RecordTag::Look);
}

// The file ends inside the record that starts at `offset`.
bool cutShort(const uint8_t* data, size_t size, size_t offset) {
  return offset < size && knownTag(data[offset]) &&
         size - offset - 1 < operandSize(static_cast<RecordTag>(data[offset]));
}
}  // namespace

bool readRecord(const uint8_t* data, size_t size, size_t* offset, InputRecord* out) {
  if (*offset >= size) return false;
  const uint8_t byte = data[*offset];
  if (!knownTag(byte)) return false;
  const RecordTag tag = static_cast<RecordTag>(byte);
  const size_t need = operandSize(tag);
  if (size - *offset - 1 < need) return false;
  const uint8_t* p = data + *offset + 1;
  InputRecord r;
  r.tag = tag;
  switch (r.tag) {
    case RecordTag::KeyDown:
    case RecordTag::KeyUp: r.key = p[0]; break;
    case RecordTag::DeviceKeyDown:
    case RecordTag::DeviceKeyUp:
      r.device = p[0];
      r.key = p[1];
      if (r.device > kTouchDevice) return false;
      break;
    case RecordTag::Mouse:
    case RecordTag::Look:
      r.x = gmath::fromBits(readLittle(p, 8));
      r.y = gmath::fromBits(readLittle(p + 8, 8));
      // NaN fails both comparisons.
      if (!(r.x >= -kMouseLimit && r.x <= kMouseLimit && r.y >= -kMouseLimit &&
            r.y <= kMouseLimit)) {
        return false;
      }
      break;
    case RecordTag::Fire: break;
    case RecordTag::Pass:
      if (p[0] > 1) return false;
      r.active = p[0] == 1;
      break;
    case RecordTag::End:
      r.frames = static_cast<uint32_t>(readLittle(p, 4));
      r.digest = readLittle(p + 4, 8);
      break;
  }
  *out = r;
  *offset += 1 + need;
  return true;
}

RecordingCheck checkRecording(const uint8_t* data, size_t size, RecordingSummary* summary) {
  *summary = RecordingSummary{};
  if (data == nullptr || size < kRecordingHeaderSize ||
      std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    return RecordingCheck::NotARecording;
  }
  const uint16_t version = static_cast<uint16_t>(readLittle(data + 8, 2));
  const size_t headerSize = static_cast<size_t>(readLittle(data + 10, 2));
  if (version != kRecordingVersion) {
    summary->version = version;
    return version > kRecordingVersion ? RecordingCheck::NewerVersion
                                       : RecordingCheck::NotARecording;
  }
  if (headerSize < kRecordingHeaderSize || headerSize > size) {
    summary->badOffset = 10;
    return RecordingCheck::Damaged;
  }
  size_t offset = headerSize;
  summary->end = size;
  while (offset < size) {
    InputRecord r;
    const size_t start = offset;
    if (!summary->hasEnd && cutShort(data, size, start)) {
      summary->end = start;
      summary->cut = true;
      return RecordingCheck::Good;
    }
    if (summary->hasEnd || !readRecord(data, size, &offset, &r)) {
      summary->badOffset = start;
      return RecordingCheck::Damaged;
    }
    if (r.tag == RecordTag::Pass) ++summary->passes;
    if (r.tag == RecordTag::End) {
      summary->hasEnd = true;
      summary->frames = r.frames;
      summary->digest = r.digest;
    }
  }
  return RecordingCheck::Good;
}

// ---------------------------------------------------------------------------
// The state digest.

namespace {
struct Fnv {
  uint64_t hash = 0xCBF29CE484222325ull;
  void bytes(uint64_t v, int count) {
    for (int i = 0; i < count; ++i) {
      hash ^= (v >> (8 * i)) & 0xFFu;
      hash *= 0x100000001B3ull;
    }
  }
  // Every NaN alike: builds may differ in a NaN's payload.
  void f64(double d) { bytes(d != d ? 0x7FF8000000000000ull : gmath::bitsOf(d), 8); }
  void f32(float f) { f64(static_cast<double>(f)); }
  void i32(int32_t v) { bytes(static_cast<uint32_t>(v), 4); }
  void u8(uint8_t v) { bytes(v, 1); }
  void flag(bool b) { bytes(b ? 1 : 0, 1); }
};
}  // namespace

uint64_t gameStateDigest() {
  Fnv h;
  for (uint8_t k : input.KeyDown) h.u8(k);
  h.f64(input.mouseYaw);
  h.f64(input.pitch);
  h.f64(input.turnSpeed);
  h.u8(input.fireRequest);
  h.u8(input.showStats);
  for (double v : {player.xtrans2, player.ytrans2, player.ztrans2, player.xmove, player.ymove,
                   player.zmove, view.keyYaw, view.heading, view.viewYaw, view.camX, view.camZ}) {
    h.f64(v);
  }
  h.u8(shot.shotDone);
  for (double v :
       {shot.fire_x, shot.fire_y, shot.fire_z, shot.fire_dx, shot.fire_dy, shot.fire_dz}) {
    h.f64(v);
  }
  h.i32(shot.burstSlot);
  h.u8(shot.smokeActive);
  for (const Enemy& e : enemies) {
    h.f32(e.x);
    h.f32(e.z);
    h.u8(e.inZone);
    h.u8(e.dead);
    h.i32(e.hit);
    for (float v : {e.speedX, e.speedZ, e.fall, e.fallSpeed, e.RotateX, e.multiplier}) h.f32(v);
  }
  h.i32(result.point);
  h.u8(result.gameOver);
  h.u8(result.gameWon);
  h.i32(frameRate.frameCount);
  for (const auto& row : particles) {
    for (const Particle& p : row) {
      for (double v : {p.life, p.fade, p.size, p.x, p.y, p.z, p.vx, p.vy, p.vz}) h.f64(v);
      for (double v : p.triangle) h.f64(v);
      for (double v : p.angle) h.f64(v);
      for (double v : p.spin) h.f64(v);
    }
  }
  h.bytes(burstRandomState(), 4);
  h.flag(shell.active);
  h.flag(shell.invertMouse);
  h.flag(shell.statsKeyLatch);
  h.flag(shell.invertKeyLatch);
  h.f64(shell.lastMouseX);
  h.f64(shell.lastMouseY);
  return h.hash;
}

void formatGameSummary(char* out, size_t size, uint64_t frames) {
  const char* outcome = result.gameWon ? "You win!" : result.gameOver ? "GAME OVER!" : "unfinished";
  const uint64_t digest = gameStateDigest();
  std::snprintf(out, size, "%lu frames, score %d, %s, state digest %08x%08x",
                static_cast<unsigned long>(frames), static_cast<int>(result.point), outcome,
                static_cast<unsigned>(digest >> 32), static_cast<unsigned>(digest));
}

// ---------------------------------------------------------------------------
// Recording, playing and tracing.

namespace {
enum class Mode { Live, Recording, Playing };
Mode mode = Mode::Live;
const char* fileName = nullptr;
const char* traceName = nullptr;

// A file the game writes: the recording or the trace. A failed write is
// remembered, and nothing more is written to that file.
struct OutFile {
  FILE* file = nullptr;
  bool failed = false;

  bool open(const char* name) {
    failed = false;
    file = std::fopen(name, "wb");
    return file != nullptr;
  }
  void put(const void* bytes, size_t count) {
    if (file == nullptr || failed) return;
    if (std::fwrite(bytes, 1, count, file) != count) failed = true;
  }
  // Closes the file; false when any of it could not be written.
  bool close() {
    if (file == nullptr) return true;
    if (std::fclose(file) != 0) failed = true;
    file = nullptr;
    return !failed;
  }
};
OutFile recordFile;
OutFile traceFile;

MappedFile played;
size_t playOffset = 0;
RecordingSummary playedSummary;
uint64_t gameFrames = 0;  // passes with the window active since the game started

void putLittle(uint8_t* p, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void say(const char* text) {
  platformMessageBox(text, "Recorded game", MessageButtons::Ok, MessageIcon::Exclamation);
}

// Everything startRecordedGame opened, closed again.
void abandonRecordedGame() {
  recordFile.close();
  traceFile.close();
  unmapFile(&played);
  mode = Mode::Live;
  traceName = nullptr;
}

// A replay's recording, read and checked; false after its message.
bool readPlayedGame() {
  char text[512];
  const MapResult mapped = mapFile(fileName, &played);
  RecordingCheck check = RecordingCheck::NotARecording;
  if (mapped == MapResult::Mapped) check = checkRecording(played.data, played.size, &playedSummary);
  if (mapped != MapResult::Mapped) {
    std::snprintf(text, sizeof text, "Cannot read the recorded game \"%s\".", fileName);
  } else if (check == RecordingCheck::NotARecording) {
    std::snprintf(text, sizeof text, "\"%s\" is not a recorded game of First Person Shooter.",
                  fileName);
  } else if (check == RecordingCheck::NewerVersion) {
    std::snprintf(text, sizeof text,
                  "\"%s\" was recorded in format %u; this game plays format %u only.", fileName,
                  static_cast<unsigned>(playedSummary.version),
                  static_cast<unsigned>(kRecordingVersion));
  } else if (check == RecordingCheck::Damaged) {
    std::snprintf(text, sizeof text, "The recorded game \"%s\" is damaged (at byte %lu).", fileName,
                  static_cast<unsigned long>(playedSummary.badOffset));
  }
  if (mapped != MapResult::Mapped || check != RecordingCheck::Good) {
    say(text);
    return false;
  }
  // The header's size says where the records start (checked above).
  playOffset = static_cast<size_t>(readLittle(played.data + 10, 2));
  return true;
}

bool openForWriting(OutFile* file, const char* name, const char* what) {
  if (file->open(name)) return true;
  char text[512];
  std::snprintf(text, sizeof text, "Cannot write the %s \"%s\".", what, name);
  say(text);
  return false;
}

// The replay's verdict, printed after its summary; the exit code it asks for.
int judgeReplay() {
  if (!playedSummary.hasEnd) {
    std::printf(
        "The recorded game has no end record (%s at byte %lu): this replay cannot be "
        "checked against it.\n",
        playedSummary.cut ? "cut short" : "it ends", static_cast<unsigned long>(playedSummary.end));
    return kExitReplayDiffers;
  }
  if (playedSummary.frames == static_cast<uint32_t>(gameFrames) &&
      playedSummary.digest == gameStateDigest()) {
    std::printf("The replay ended as the recorded game did.\n");
    return kExitNormal;
  }
  std::printf("The replay differs from the recorded game (%lu frames, state digest %08x%08x).\n",
              static_cast<unsigned long>(playedSummary.frames),
              static_cast<unsigned>(playedSummary.digest >> 32),
              static_cast<unsigned>(playedSummary.digest));
  return kExitReplayDiffers;
}

// A file that could not be written whole: says so; the exit code.
int reportUnwritten(OutFile* file, const char* what, const char* name) {
  if (file->close()) return kExitNormal;
  char text[512];
  std::snprintf(text, sizeof text,
                "The %s \"%s\" could not be written whole (the disk may be full); what it "
                "holds ends early.",
                what, name);
  say(text);
  return kExitNotWritten;
}
}  // namespace

void chooseRecordedGame(const char* record, const char* play, const char* trace) {
  mode = record != nullptr ? Mode::Recording : play != nullptr ? Mode::Playing : Mode::Live;
  fileName = record != nullptr ? record : play;
  traceName = trace;
}

bool startRecordedGame() {
  gameFrames = 0;
  bool good = mode != Mode::Playing || readPlayedGame();
  if (good && traceName != nullptr) good = openForWriting(&traceFile, traceName, "trace");
  if (good && mode == Mode::Recording) good = openForWriting(&recordFile, fileName, "recording");
  if (good && mode == Mode::Recording) {
    uint8_t header[kRecordingHeaderSize] = {};
    std::memcpy(header, kMagic, sizeof kMagic);
    putLittle(header + 8, kRecordingVersion, 2);
    putLittle(header + 10, kRecordingHeaderSize, 2);
    recordFile.put(header, sizeof header);
  }
  if (!good) abandonRecordedGame();
  return good;
}

bool takeKey(bool down, int virtualKey) {
  if (mode == Mode::Playing) return down && virtualKey == vk::Escape;
  if (mode == Mode::Recording && virtualKey >= 0 && virtualKey < 256) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(down ? RecordTag::KeyDown : RecordTag::KeyUp),
                              static_cast<uint8_t>(virtualKey)};
    recordFile.put(bytes, sizeof bytes);
  }
  return true;
}

namespace {
// A mouse move or a look: the tag and two doubles.
bool takeTwoDoubles(RecordTag tag, double a, double b) {
  if (mode == Mode::Playing) return false;
  if (mode == Mode::Recording) {
    uint8_t bytes[17] = {static_cast<uint8_t>(tag)};
    putLittle(bytes + 1, gmath::bitsOf(a), 8);
    putLittle(bytes + 9, gmath::bitsOf(b), 8);
    recordFile.put(bytes, sizeof bytes);
  }
  return true;
}
}  // namespace

bool takeMouse(double x, double y) { return takeTwoDoubles(RecordTag::Mouse, x, y); }

bool takeLook(double yaw, double pitch) { return takeTwoDoubles(RecordTag::Look, yaw, pitch); }

bool takeDeviceKey(bool down, int device, int virtualKey) {
  if (mode == Mode::Playing) return down && virtualKey == vk::Escape;
  if (mode == Mode::Recording) {
    const uint8_t bytes[3] = {
        static_cast<uint8_t>(down ? RecordTag::DeviceKeyDown : RecordTag::DeviceKeyUp),
        static_cast<uint8_t>(device), static_cast<uint8_t>(virtualKey)};
    recordFile.put(bytes, sizeof bytes);
  }
  return true;
}

bool takeFire() {
  if (mode == Mode::Playing) return false;
  if (mode == Mode::Recording) {
    const uint8_t tag = static_cast<uint8_t>(RecordTag::Fire);
    recordFile.put(&tag, 1);
  }
  return true;
}

bool takeLoopPass() {
  if (mode != Mode::Playing) {
    if (mode == Mode::Recording) {
      const uint8_t bytes[2] = {static_cast<uint8_t>(RecordTag::Pass),
                                shell.active ? uint8_t{1} : uint8_t{0}};
      recordFile.put(bytes, sizeof bytes);
    }
    if (shell.active) ++gameFrames;
    return true;
  }
  InputRecord r;
  // A cut recording is played up to its last whole record.
  while (readRecord(played.data, playedSummary.end, &playOffset, &r)) {
    switch (r.tag) {
      case RecordTag::KeyDown: applyKey(true, r.key); break;
      case RecordTag::KeyUp: applyKey(false, r.key); break;
      case RecordTag::Mouse: applyMouse(r.x, r.y); break;
      case RecordTag::Fire: applyFire(); break;
      case RecordTag::DeviceKeyDown: applyDeviceKey(true, r.device, r.key); break;
      case RecordTag::DeviceKeyUp: applyDeviceKey(false, r.device, r.key); break;
      case RecordTag::Look: applyLook(r.x, r.y); break;
      case RecordTag::Pass:
        shell.active = r.active;
        if (r.active) ++gameFrames;
        return true;
      case RecordTag::End: break;
    }
  }
  return false;
}

void traceFrame() {
  if (traceFile.file == nullptr) return;
  char line[40];
  const uint64_t digest = gameStateDigest();
  const int length =
      std::snprintf(line, sizeof line, "%lu %08x%08x\n", static_cast<unsigned long>(gameFrames),
                    static_cast<unsigned>(digest >> 32), static_cast<unsigned>(digest));
  traceFile.put(line, static_cast<size_t>(length));
}

int finishRecordedGame() {
  int code = kExitNormal;
  if (mode != Mode::Live) {
    char summary[160];
    formatGameSummary(summary, sizeof summary, gameFrames);
    if (mode == Mode::Recording) {
      uint8_t bytes[13] = {static_cast<uint8_t>(RecordTag::End)};
      putLittle(bytes + 1, static_cast<uint32_t>(gameFrames), 4);
      putLittle(bytes + 5, gameStateDigest(), 8);
      recordFile.put(bytes, sizeof bytes);
      std::printf("Recorded game: %s\n", summary);
      std::fflush(stdout);
      code = reportUnwritten(&recordFile, "recording", fileName);
    } else {
      std::printf("Replayed game: %s\n", summary);
      code = judgeReplay();
      unmapFile(&played);
    }
  }
  if (traceName != nullptr) {
    const int traced = reportUnwritten(&traceFile, "trace", traceName);
    if (code == kExitNormal) code = traced;
  }
  std::fflush(stdout);
  mode = Mode::Live;
  traceName = nullptr;
  return code;
}
