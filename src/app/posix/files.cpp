// Read-only file mapping for POSIX systems: regular files only, never blocking.
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
