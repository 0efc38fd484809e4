// Files on POSIX systems: read-only mapping (regular files only, never
// blocking), new files written whole, and whether two names name the same file.
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"

MapResult mapFile(const char* fileName, MappedFile* out) {
  *out = MappedFile{};
  if (fileName == nullptr) return MapResult::NotOpened;
  // A FIFO would block the open until a writer comes, and a device may do
  // anything when opened: look at what the name is before opening it.
  struct stat named {};
  if (stat(fileName, &named) != 0) return MapResult::NotOpened;
  if (!S_ISREG(named.st_mode)) return MapResult::NotMapped;
  // O_NONBLOCK in case the name was swapped for a FIFO since; the descriptor
  // is checked again.
  const int fd = open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return MapResult::NotOpened;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    close(fd);
    return MapResult::NotMapped;
  }
  if (info.st_size == 0) {
    close(fd);
    return MapResult::Mapped;
  }
  const size_t size = static_cast<size_t>(info.st_size);
  void* view = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (view == MAP_FAILED) return MapResult::NotMapped;
  out->data = static_cast<const unsigned char*>(view);
  out->size = size;
  return MapResult::Mapped;
}

void unmapFile(MappedFile* file) {
  if (file->data != nullptr) munmap(const_cast<unsigned char*>(file->data), file->size);
  *file = MappedFile{};
}

namespace {
// The canonical path of the folder a name is in, and the name's last part.
bool folderAndLast(const char* name, char (&folder)[PATH_MAX], const char** last) {
  const char* slash = strrchr(name, '/');
  *last = slash != nullptr ? slash + 1 : name;
  char given[PATH_MAX];
  const size_t length = slash == nullptr ? 0 : static_cast<size_t>(slash - name);
  if (length + 2 > sizeof given) return false;
  if (slash == nullptr) {
    strcpy(given, ".");
  } else if (length == 0) {
    strcpy(given, "/");
  } else {
    memcpy(given, name, length);
    given[length] = '\0';
  }
  return realpath(given, folder) != nullptr;
}
}  // namespace

bool sameFile(const char* a, const char* b) {
  struct stat infoA {
  }, infoB{};
  const bool hasA = stat(a, &infoA) == 0;
  const bool hasB = stat(b, &infoB) == 0;
  if (hasA && hasB) return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
  if (hasA || hasB) return false;
  char folderA[PATH_MAX], folderB[PATH_MAX];
  const char *lastA, *lastB;
  if (!folderAndLast(a, folderA, &lastA) || !folderAndLast(b, folderB, &lastB)) {
    return strcmp(a, b) == 0;  // a folder that is not there: no file is written anyway
  }
  return strcmp(folderA, folderB) == 0 && strcmp(lastA, lastB) == 0;
}

namespace {
// Gives the temporary file `from` the name `to` unless a file has it: false
// with errno EEXIST when one has. Where the file system links no files, the
// name is first taken by an empty file that the temporary one then replaces.
bool renameNoReplace(const char* from, const char* to) {
  if (link(from, to) == 0) {
    unlink(from);
    return true;
  }
  if (errno == EEXIST) return false;
  const int reserved = open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
  if (reserved < 0) return false;
  close(reserved);
  if (rename(from, to) == 0) return true;
  const int error = errno;
  unlink(to);
  errno = error;
  return false;
}
}  // namespace

NewFile writeNewFile(const char* path, const void* data, size_t size) {
  // The temporary file: the name with ".XXXXXX" added, made unique by mkstemp.
  char temporary[PATH_MAX];
  const int length = snprintf(temporary, sizeof temporary, "%s.XXXXXX", path);
  if (length < 0 || static_cast<size_t>(length) >= sizeof temporary) return NewFile::Failed;
  struct stat taken {};
  if (lstat(path, &taken) == 0) return NewFile::Exists;
  const int fd = mkstemp(temporary);
  if (fd < 0) return NewFile::Failed;
  fchmod(fd, 0644);
  const auto* bytes = static_cast<const unsigned char*>(data);
  size_t written = 0;
  while (written < size) {
    const ssize_t n = write(fd, bytes + written, size - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool whole = written == size && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (whole && closed) {
    if (renameNoReplace(temporary, path)) return NewFile::Written;
    const bool exists = errno == EEXIST;
    unlink(temporary);
    return exists ? NewFile::Exists : NewFile::Failed;
  }
  unlink(temporary);
  return NewFile::Failed;
}
