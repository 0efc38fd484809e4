// Everything the game needs from the operating system. Each shell implements
// this list (win32/ on Windows, sdl/ elsewhere); the tests link a recording
// stand-in. The game's portable code calls nothing else of the OS.
#pragma once

#include <cstddef>
#include <cstdint>

// Message boxes in the game's own terms; each shell maps them to its system's
// boxes (the Win32 shell to MB_* and ID* values).
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Stop, Question, Exclamation, Information };
// The button pressed. Cancel: the box was closed without a choice (Escape
// under some systems) or could not be shown at all; it never means Yes.
enum class Answer { Ok, Yes, No, Cancel };

// Shows a modal message box and returns the button pressed. `ownedByFocus`
// makes the window that has the keyboard focus its owner. The text also goes
// to the standard error stream where a box may fail to appear.
Answer platformMessageBox(const char* text, const char* caption, MessageButtons buttons,
                          MessageIcon icon, bool ownedByFocus = false);

// Answers the command line before the game starts (app/command_line.h): the
// usage, the version, or a refused option (`refusal`). Where the program has a
// terminal the text goes there (standard output, a refusal to standard error,
// headed by the caption); a window program that has none (Windows) shows it in
// a message box with the caption.
void platformCommandLineAnswer(const char* text, const char* caption, bool refusal);

// The folder for the player's pictures, where screenshots go, made when
// missing: on Linux XDG_PICTURES_DIR (from the environment, else from the
// user's user-dirs.dirs), else ~/Pictures; on Windows the user's Pictures
// folder; in a browser a folder of the page's own file system, whose files the
// page offers as downloads. False, with the reason in `out`, when there is
// none or it cannot be made.
bool platformPicturesFolder(char* out, size_t size);

// Starts playing a wave file without waiting for it. A missing file or sound
// device is silently ignored.
void platformPlaySound(const char* fileName);

// Moves the mouse cursor to a position given in the game window's client
// coordinates.
void platformWarpCursor(int x, int y);

// High-resolution counter; the frequency call fails on machines without one.
bool platformCounterFrequency(int64_t* countsPerSecond);
int64_t platformCounter();
// Millisecond clock that wraps at 2^32 (the fallback timer).
uint32_t platformMilliseconds();
// Sleeps for about the given time; may return early or late by a scheduler tick.
void platformSleep(double milliseconds);

// A whole file mapped read-only. `data` is null when nothing is mapped (and
// for an empty file, whose `size` is 0).
struct MappedFile {
  const unsigned char* data = nullptr;
  size_t size = 0;
  void* handle = nullptr;   // shell-specific bookkeeping
  void* mapping = nullptr;  // shell-specific bookkeeping
};

enum class MapResult {
  Mapped,     // the file is in `data` (an empty file maps to no bytes)
  NotOpened,  // missing, or cannot be opened
  NotMapped,  // opened, but not a regular file, or its bytes cannot be mapped
};

// Maps a regular file read-only. Anything else that bears the name (a FIFO,
// a directory, a device) is refused without blocking and without being read.
// The readers call it for every data file they load.
MapResult mapFile(const char* fileName, MappedFile* out);
void unmapFile(MappedFile* file);

// Whether two names name the same file: for two files that exist, the same
// file however it is reached (another spelling, a link); for two that do not
// exist yet, the same name in the same folder. A name that exists and one that
// does not are two files.
bool sameFile(const char* a, const char* b);

// Writes a new file whole (a screenshot): the bytes go to a temporary file in
// the same folder, which then takes the name only if no file has it, so the
// name never shows a partly written file, not even after a crash. A name
// already taken is left alone (Exists); Failed: the file could not be made or
// written whole (nothing of it is left behind).
enum class NewFile { Written, Exists, Failed };
NewFile writeNewFile(const char* path, const void* data, size_t size);
