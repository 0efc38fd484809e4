// The byte sink that stb's PNG writer fills (stbi_write_png_to_func): appends
// each piece it writes to a std::vector<uint8_t> given as the context. The
// screenshots and the data generator's icons both encode through it.
#pragma once

#include <cstdint>
#include <vector>

inline void appendPngBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}
