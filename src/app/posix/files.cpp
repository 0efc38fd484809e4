// Files on POSIX systems: read-only mapping (regular files only, never
// blocking) and new files written whole.
#include <errno.h>
#include <fcntl.h>
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

NewFile writeNewFile(const char* path, const void* data, size_t size) {
  const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0644);
  if (fd < 0) return errno == EEXIST ? NewFile::Exists : NewFile::Failed;
  const auto* bytes = static_cast<const unsigned char*>(data);
  size_t written = 0;
  while (written < size) {
    const ssize_t n = write(fd, bytes + written, size - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    written += static_cast<size_t>(n);
  }
  const bool closed = close(fd) == 0;
  if (written == size && closed) return NewFile::Written;
  unlink(path);
  return NewFile::Failed;
}
