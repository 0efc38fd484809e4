// Read-only file mapping for Windows: disk files only.
#include <windows.h>

#include "platform/platform.h"

bool mapFile(const char* fileName, MappedFile* out) {
  *out = MappedFile{};
  if (fileName == nullptr) return false;
  HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0) {
    CloseHandle(file);
    return false;
  }
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) {
    CloseHandle(file);
    return false;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) {
    CloseHandle(mapping);
    CloseHandle(file);
    return false;
  }
  out->data = static_cast<const unsigned char*>(view);
  out->size = static_cast<size_t>(size.QuadPart);
  out->handle = file;
  out->mapping = mapping;
  return true;
}

void unmapFile(MappedFile* file) {
  if (file->data != nullptr) UnmapViewOfFile(file->data);
  if (file->mapping != nullptr) CloseHandle(file->mapping);
  if (file->handle != nullptr) CloseHandle(file->handle);
  *file = MappedFile{};
}
