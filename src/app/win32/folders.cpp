// Folders on Windows: the working folder, the program's own folder and
// changing folder, in the ANSI code page that the C runtime's argv and fopen use.
#include <windows.h>

#include <cstring>

#include "app/data_folder.h"

bool workingFolder(char* out, size_t size) {
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(size), out);
  return length > 0 && length < size;
}

bool programFolder(char* out, size_t size) {
  const DWORD length = GetModuleFileNameA(nullptr, out, static_cast<DWORD>(size));
  if (length == 0 || length >= size) return false;
  char* slash = std::strrchr(out, '\\');
  if (slash == nullptr) return false;
  *slash = '\0';
  return true;
}

bool changeFolder(const char* folder) { return SetCurrentDirectoryA(folder) != 0; }
