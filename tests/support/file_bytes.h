// A whole file's bytes and little-endian fields read from them, for the tests
// that look inside what the build generates.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The file's bytes; empty when it cannot be read.
inline std::vector<uint8_t> readFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return bytes;
  uint8_t buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(f);
  return bytes;
}

inline uint32_t u16(const std::vector<uint8_t>& b, size_t at) {
  return uint32_t(b[at] | (b[at + 1] << 8));
}

inline uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
  return u16(b, at) | (u16(b, at + 2) << 16);
}
