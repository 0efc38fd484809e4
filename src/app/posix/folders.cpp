// Folders on POSIX systems: the working folder, the program's own folder (from
// /proc/self/exe, where the system has it) and changing folder.
#include <unistd.h>

#include <cstring>

#include "app/data_folder.h"

bool workingFolder(char* out, size_t size) { return getcwd(out, size) != nullptr; }

bool programFolder(char* out, size_t size) {
  if (size == 0) return false;
  const ssize_t length = readlink("/proc/self/exe", out, size - 1);
  if (length <= 0 || static_cast<size_t>(length) >= size - 1) return false;
  out[length] = '\0';
  char* slash = std::strrchr(out, '/');
  if (slash == nullptr) return false;
  *(slash == out ? slash + 1 : slash) = '\0';
  return true;
}

bool changeFolder(const char* folder) { return chdir(folder) == 0; }
