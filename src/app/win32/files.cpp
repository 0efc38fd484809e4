// Read-only file mapping for Windows: disk files only; and whether two names
// name the same file.
#include <windows.h>

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
