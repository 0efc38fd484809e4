// Recorded games: `shooter --record FILE` writes the input the main loop took,
// pass by pass; `shooter --play FILE` plays it back and, like the recording,
// ends by printing the frame count, the score, the result and a digest of the
// whole game state. The game's simulation reads no clock and its math gives
// the same bits on every build, so a game recorded on one build replays to the
// same state on every other. `--trace FILE` (alone or beside either) writes
// one line per frame, "FRAME DIGEST" (the frame number from 1 and the state
// digest after that frame, 16 hex digits), so that two builds' replays can be
// compared frame by frame. Without these options nothing is recorded, nothing
// is written and the game plays as always.
//
// This is one stage on the way of the input: the input functions of the
// keyboard, the mouse (app/shell.h) and the devices (app/devices.h) ask here
// before they apply their input (app/input.h), so pads and touches replay as
// well as keys and the mouse. A replay feeds the recording's input straight
// into the input steps of app/input.h.
//
// The file (all numbers little-endian):
//
//   header, 16 bytes
//     0   8 bytes  "SHOOTREC"
//     8   uint16   format version, 1
//     10  uint16   header size in bytes (16; a reader skips what it does not know)
//     12  uint32   0
//   records, each a tag byte and its operand, in the order the loop took them
//     1   key down   uint8 virtual-key code
//     2   key up     uint8 virtual-key code
//     3   mouse      float64 x, float64 y: the cursor in client coordinates
//                    (finite, within +-1e6)
//     4   fire       -
//     5   pass       uint8 window active (0 or 1): a pass of the main loop with
//                    an empty queue (a frame while active); the inputs before
//                    it arrived in the passes since the previous one
//     6   end        uint32 frames, uint64 state digest: the recorded game's
//                    summary; only the last record may be one
//     7   device key down   uint8 device (0..4: a pad, or the touch screen and
//     8   device key up     the page's buttons), uint8 virtual-key code: a key
//                           entry a pad or touch takes or lets go (app/devices.h)
//     9   look       float64 yaw, float64 pitch: setLook (finite, within +-1e6)
//
// A file cut short (a game that never ended, a full disk) reads up to its last
// whole record: a record the file ends inside is dropped, and such a file has
// no end record, which its replay reports. A damaged or foreign file (an
// unknown record, a bad operand, a record after the end) is refused before
// the game starts, with a message.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------------------
// The format, for the game and for the fuzz test.

constexpr uint16_t kRecordingVersion = 1;
constexpr size_t kRecordingHeaderSize = 16;

enum class RecordTag : uint8_t {
  KeyDown = 1,
  KeyUp = 2,
  Mouse = 3,
  Fire = 4,
  Pass = 5,
  End = 6,
  DeviceKeyDown = 7,
  DeviceKeyUp = 8,
  Look = 9,
};

struct InputRecord {
  RecordTag tag = RecordTag::Pass;
  int key = 0;          // KeyDown, KeyUp, DeviceKeyDown, DeviceKeyUp
  int device = 0;       // DeviceKeyDown, DeviceKeyUp
  double x = 0, y = 0;  // Mouse; Look: yaw and pitch
  bool active = true;   // Pass
  uint32_t frames = 0;  // End
  uint64_t digest = 0;  // End
};

enum class RecordingCheck { Good, NotARecording, NewerVersion, Damaged };

struct RecordingSummary {
  uint64_t passes = 0;
  size_t end = 0;    // where the whole records end: the size, unless cut
  bool cut = false;  // the file ends inside its last record
  bool hasEnd = false;
  uint32_t frames = 0;   // from the end record
  uint64_t digest = 0;   // from the end record
  size_t badOffset = 0;  // Damaged: where the first bad record starts
  uint16_t version = 0;  // NewerVersion: the file's
};

// Checks a whole file; every record of a Good one up to summary->end reads
// with readRecord.
RecordingCheck checkRecording(const uint8_t* data, size_t size, RecordingSummary* summary);

// Reads the record at *offset and moves past it; false when it is cut short
// or not a valid record.
bool readRecord(const uint8_t* data, size_t size, size_t* offset, InputRecord* out);

// ---------------------------------------------------------------------------
// The game's side.

// The recorded game the command line asks for (app/command_line.h, which
// has checked the options): a file to record into or one to play (at most
// one of them), and a trace; null for none.
void chooseRecordedGame(const char* record, const char* play, const char* trace);

// Opens the files to record and trace into, or reads and checks the one to
// play; false, after a message box, when that fails (the program then ends).
// Does nothing without the options.
bool startRecordedGame();

// The input functions ask before they act: while recording the input is
// written; while playing, live input is dropped (except Escape, so that the
// player can always leave).
bool takeKey(bool down, int virtualKey);
bool takeMouse(double x, double y);
bool takeFire();
bool takeLook(double yaw, double pitch);
// A device's key entry (only changes are recorded: the caller asks when the
// device's hold actually starts or ends).
bool takeDeviceKey(bool down, int device, int virtualKey);

// The main loop, on each pass with an empty queue, before the frame: records
// the pass, or applies the recording's input for it (and its window state).
// False when a replay has run out: the loop then ends.
bool takeLoopPass();

// The main loop, after each frame it ran: the frame's line of the trace.
void traceFrame();

// At the end of the game: writes the end record and closes the files, prints
// the summary and, for a replay, whether it ended as recorded. Returns the
// exit code this asks for (app/exit_codes.h): kExitReplayDiffers for a replay
// that ended otherwise or cannot be checked, kExitNotWritten (after a message
// box) for a recording or trace that could not be written whole, else
// kExitNormal.
int finishRecordedGame();

// A digest (64-bit FNV-1a) of the whole game state: input, player, view,
// shot, enemies, result, particles and their random state, the shell's mouse
// and toggles. The frame-rate clock readings are left out.
uint64_t gameStateDigest();

// The summary line printed at the end: frames, score, result, digest.
void formatGameSummary(char* out, size_t size, uint64_t frames);
