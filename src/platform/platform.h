// Everything the game needs from the operating system. Each shell implements
// this list (win32/ on Windows, sdl/ elsewhere); the tests link a recording
// stand-in. The game's portable code calls nothing else of the OS.
#pragma once

#include <cstddef>
#include <cstdint>

// Message boxes take and return the Win32 values, so both shells and the
// tests speak the same numbers as the Windows API.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Shows a modal message box and returns the button pressed (kIdOk, kIdYes, ...).
// `ownedByFocus` makes the window that has the keyboard focus its owner.
int platformMessageBox(const char* text, const char* caption, unsigned flags,
                       bool ownedByFocus = false);

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

// A whole file mapped read-only. `data` is null when nothing is mapped.
struct MappedFile {
  const unsigned char* data = nullptr;
  size_t size = 0;
  void* handle = nullptr;   // shell-specific bookkeeping
  void* mapping = nullptr;  // shell-specific bookkeeping
};

// Maps the file read-only. Fails for a missing, unreadable or empty file.
bool mapFile(const char* fileName, MappedFile* out);
void unmapFile(MappedFile* file);
