// Files on Windows: read-only mapping (disk files only), new files written
// whole, and whether two names name the same file.
#include <windows.h>

#include <cwchar>

#include "platform/platform.h"

MapResult mapFile(const char* fileName, MappedFile* out) {
  *out = MappedFile{};
  if (fileName == nullptr) return MapResult::NotOpened;
  // A folder exists but is no data file (CreateFileA would only refuse it).
  const DWORD attributes = GetFileAttributesA(fileName);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return MapResult::NotMapped;
  }
  HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return MapResult::NotOpened;
  // Pipes, consoles and other devices are no data files.
  LARGE_INTEGER size{};
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size) || size.QuadPart < 0) {
    CloseHandle(file);
    return MapResult::NotMapped;
  }
  if (size.QuadPart == 0) {
    CloseHandle(file);
    return MapResult::Mapped;
  }
  HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (mapping == nullptr) {
    CloseHandle(file);
    return MapResult::NotMapped;
  }
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
  if (view == nullptr) {
    CloseHandle(mapping);
    CloseHandle(file);
    return MapResult::NotMapped;
  }
  out->data = static_cast<const unsigned char*>(view);
  out->size = static_cast<size_t>(size.QuadPart);
  out->handle = file;
  out->mapping = mapping;
  return MapResult::Mapped;
}

void unmapFile(MappedFile* file) {
  if (file->data != nullptr) UnmapViewOfFile(file->data);
  if (file->mapping != nullptr) CloseHandle(file->mapping);
  if (file->handle != nullptr) CloseHandle(file->handle);
  *file = MappedFile{};
}

namespace {
bool fileIdentity(const char* name, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE file = CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool known = GetFileInformationByHandle(file, info) != 0;
  CloseHandle(file);
  return known;
}
}  // namespace

bool sameFile(const char* a, const char* b) {
  BY_HANDLE_FILE_INFORMATION infoA{}, infoB{};
  const bool hasA = fileIdentity(a, &infoA);
  const bool hasB = fileIdentity(b, &infoB);
  if (hasA && hasB) {
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
  }
  if (hasA || hasB) return false;
  // Neither exists yet: the full paths, compared as Windows compares names.
  char fullA[MAX_PATH], fullB[MAX_PATH];
  const DWORD lengthA = GetFullPathNameA(a, MAX_PATH, fullA, nullptr);
  const DWORD lengthB = GetFullPathNameA(b, MAX_PATH, fullB, nullptr);
  if (lengthA == 0 || lengthA >= MAX_PATH || lengthB == 0 || lengthB >= MAX_PATH) {
    return lstrcmpiA(a, b) == 0;
  }
  return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, fullA, -1, fullB, -1) == CSTR_EQUAL;
}

// The path is UTF-8 (the pictures folder's name may be in any script). The
// bytes go to "<path>.<process>.tmp" first, which then takes the name unless a
// file has it (MoveFileExW replaces nothing without MOVEFILE_REPLACE_EXISTING).
NewFile writeNewFile(const char* path, const void* data, size_t size) {
  wchar_t wide[MAX_PATH * 2];
  if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, MAX_PATH * 2) == 0) return NewFile::Failed;
  if (GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES) return NewFile::Exists;
  // The temporary name: the path with ".<process id>.tmp" added.
  wchar_t temporary[MAX_PATH * 2 + 32];
  const size_t length = std::wcslen(wide);
  wchar_t suffix[24];
  DWORD id = GetCurrentProcessId();
  size_t digits = 0;
  do {
    suffix[digits++] = static_cast<wchar_t>(L'0' + id % 10);
    id /= 10;
  } while (id != 0);
  size_t at = length;
  std::wmemcpy(temporary, wide, length + 1);  // the name and its end, overwritten below
  temporary[at++] = L'.';
  while (digits > 0) temporary[at++] = suffix[--digits];
  std::wmemcpy(temporary + at, L".tmp", 5);
  HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return NewFile::Failed;
  DWORD written = 0;
  const bool whole = size <= MAXDWORD &&
                     WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) &&
                     written == size && FlushFileBuffers(file);
  const bool closed = CloseHandle(file) != 0;
  if (whole && closed) {
    if (MoveFileExW(temporary, wide, MOVEFILE_WRITE_THROUGH)) return NewFile::Written;
    const DWORD error = GetLastError();
    DeleteFileW(temporary);
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFile::Exists
                                                                       : NewFile::Failed;
  }
  DeleteFileW(temporary);
  return NewFile::Failed;
}
