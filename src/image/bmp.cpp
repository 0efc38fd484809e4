// Windows bitmap reader: headers checked, rows decoded into packed 24-bit RGB.
#include "image/bmp.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "image/limits.h"
#include "platform/platform.h"

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;

constexpr size_t kFileHeaderSize = 14;

const char kUnknownFormat[] = "Unknown DIB file format.";
const char kOutOfMemory[] = "Out of memory.";
const char kConversionError[] = "Image file conversion error.";

uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t le32(const unsigned char* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

std::unique_ptr<RgbImage> refuse(const char* text) {
  platformMessageBox(text, "Error", MessageButtons::Ok, MessageIcon::None, true);
  return nullptr;
}

std::unique_ptr<RgbImage> refuseOpen(const char* fileName) {
  char text[1024];
  std::snprintf(text, sizeof text, "Failed to open DIB file %s.\n", fileName ? fileName : "");
  return refuse(text);
}

std::unique_ptr<RgbImage> refuseTooLarge(const char* fileName, uint64_t width, uint64_t height) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "Image too large: %s is %llu x %llu pixels; the game takes at most %u a side "
                "and %llu in all.",
                fileName ? fileName : "", static_cast<unsigned long long>(width),
                static_cast<unsigned long long>(height), kMaxImageSide,
                static_cast<unsigned long long>(kMaxImagePixels));
  return refuse(text);
}

// One colour channel of a bit-field pixel: where it sits and how to widen it.
struct Channel {
  uint32_t mask = 0;
  unsigned shift = 0;
  uint32_t max = 0;  // the largest value the channel holds; 0 for an empty mask

  // False for a mask that is not one run of bits.
  bool set(uint32_t m) {
    mask = m;
    shift = 0;
    max = 0;
    if (m == 0) return true;
    while (((m >> shift) & 1u) == 0) ++shift;
    const uint32_t run = m >> shift;
    if ((run & (run + 1)) != 0) return false;
    max = run;
    return true;
  }

  unsigned char expand(uint32_t pixel) const {
    if (max == 0) return 0;
    const uint64_t v = (pixel & mask) >> shift;
    return static_cast<unsigned char>((v * 255 + max / 2) / max);
  }
};

// Everything the header says about where the pixels are and how to read them.
struct Layout {
  uint32_t width = 0;
  uint32_t height = 0;  // rows, always positive
  bool topDown = false;
  unsigned bits = 0;
  uint32_t compression = kBiRgb;
  const unsigned char* table = nullptr;  // colour table in the file
  size_t tableLength = 0;
  size_t entrySize = 4;  // 4 for the 40-byte header, 3 for the 12-byte one
  Channel red, green, blue;
  size_t pixelOffset = 0;
};

class Writer {
 public:
  Writer(const Layout& layout, unsigned char* out) : layout_(layout), out_(out) {}

  // Where stored row `row` goes: a top-down file is turned bottom-up.
  unsigned char* row(uint32_t stored) const {
    const uint32_t r = layout_.topDown ? layout_.height - 1 - stored : stored;
    return out_ + size_t(r) * layout_.width * 3;
  }

  void putIndex(unsigned char* dst, unsigned index) const {
    if (index < layout_.tableLength) {
      const unsigned char* entry = layout_.table + size_t(index) * layout_.entrySize;
      dst[0] = entry[2];
      dst[1] = entry[1];
      dst[2] = entry[0];
    } else {
      dst[0] = dst[1] = dst[2] = 0;
    }
  }

 private:
  const Layout& layout_;
  unsigned char* out_;
};

void decodeRow(const Layout& layout, const Writer& writer, const unsigned char* src,
               unsigned char* dst) {
  const uint32_t width = layout.width;
  switch (layout.bits) {
    case 1:
      for (uint32_t x = 0; x < width; ++x)
        writer.putIndex(dst + size_t(x) * 3, (src[x >> 3] >> (7 - (x & 7))) & 1u);
      break;
    case 4:
      for (uint32_t x = 0; x < width; ++x)
        writer.putIndex(dst + size_t(x) * 3, (x & 1) ? (src[x >> 1] & 0x0Fu) : (src[x >> 1] >> 4));
      break;
    case 8:
      for (uint32_t x = 0; x < width; ++x) writer.putIndex(dst + size_t(x) * 3, src[x]);
      break;
    case 16:
      for (uint32_t x = 0; x < width; ++x, src += 2, dst += 3) {
        const uint32_t pixel = le16(src);
        dst[0] = layout.red.expand(pixel);
        dst[1] = layout.green.expand(pixel);
        dst[2] = layout.blue.expand(pixel);
      }
      break;
    case 24:
      for (uint32_t x = 0; x < width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
      }
      break;
    case 32:
      for (uint32_t x = 0; x < width; ++x, src += 4, dst += 3) {
        const uint32_t pixel = le32(src);
        dst[0] = layout.red.expand(pixel);
        dst[1] = layout.green.expand(pixel);
        dst[2] = layout.blue.expand(pixel);
      }
      break;
    default: break;
  }
}

uint64_t rowStride(const Layout& layout) {
  return (uint64_t(layout.bits) * layout.width + 31) / 32 * 4;
}

// Whether the file holds every row of an uncompressed image (the last row
// may lack its padding).
bool pixelsInFile(const Layout& layout, size_t size) {
  const uint64_t rowBytes = (uint64_t(layout.bits) * layout.width + 7) / 8;
  const uint64_t needed = rowStride(layout) * (layout.height - 1) + rowBytes;
  return layout.pixelOffset <= size && needed <= size - layout.pixelOffset;
}

void decodeUncompressed(const Layout& layout, const unsigned char* bytes, unsigned char* out) {
  const uint64_t stride = rowStride(layout);
  const Writer writer(layout, out);
  for (uint32_t r = 0; r < layout.height; ++r)
    decodeRow(layout, writer, bytes + layout.pixelOffset + size_t(stride) * r, writer.row(r));
}

// RLE8 and RLE4. Pixels outside the image are dropped; pixels the stream never
// sets stay black. A stream that ends before the image is done is refused.
bool decodeRle(const Layout& layout, const unsigned char* bytes, size_t size, unsigned char* out) {
  if (layout.pixelOffset > size) return false;
  const Writer writer(layout, out);
  const bool four = layout.compression == kBiRle4;
  size_t pos = layout.pixelOffset;
  uint64_t x = 0;
  uint64_t y = 0;
  // How many of the next n pixels land inside the image.
  auto inside = [&](unsigned n) -> unsigned {
    if (y >= layout.height || x >= layout.width) return 0;
    return unsigned(n < layout.width - x ? n : layout.width - x);
  };
  while (y < layout.height) {
    if (size - pos < 2) return false;
    const unsigned count = bytes[pos];
    const unsigned code = bytes[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one index, or of two alternating nibbles
      const unsigned shown = inside(count);
      unsigned char* dst = shown > 0 ? writer.row(uint32_t(y)) + x * 3 : nullptr;
      for (unsigned i = 0; i < shown; ++i, dst += 3)
        writer.putIndex(dst, four ? ((i & 1) ? (code & 0x0Fu) : (code >> 4)) : code);
      x += count;
      continue;
    }
    if (code == 0) {  // end of line
      x = 0;
      ++y;
    } else if (code == 1) {  // end of bitmap
      break;
    } else if (code == 2) {  // delta
      if (size - pos < 2) return false;
      x += bytes[pos];
      y += bytes[pos + 1];
      pos += 2;
    } else {  // absolute run of `code` pixels, padded to a 16-bit boundary
      const size_t dataBytes = four ? (code + 1) / 2 : code;
      const size_t padded = (dataBytes + 1) & ~size_t(1);
      if (size - pos < padded) return false;
      const unsigned shown = inside(code);
      unsigned char* dst = shown > 0 ? writer.row(uint32_t(y)) + x * 3 : nullptr;
      for (unsigned i = 0; i < shown; ++i, dst += 3) {
        const unsigned char b = bytes[pos + (four ? i / 2 : i)];
        writer.putIndex(dst, four ? ((i & 1) ? (b & 0x0Fu) : (b >> 4)) : b);
      }
      x += code;
      pos += padded;
    }
  }
  return true;
}

size_t tableLengthForBits(unsigned bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

}  // namespace

std::unique_ptr<RgbImage> decodeBmp(const unsigned char* bytes, size_t size, const char* fileName) {
  if (bytes == nullptr || size == 0) return refuseOpen(fileName);

  const bool fileHeader = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
  const size_t headerStart = fileHeader ? kFileHeaderSize : 0;
  if (size < headerStart + 4) return refuse(kUnknownFormat);
  const unsigned char* header = bytes + headerStart;
  const uint32_t headerSize = le32(header);
  if ((headerSize != 40 && headerSize != 12) || size - headerStart < headerSize)
    return refuse(kUnknownFormat);

  Layout layout;
  int64_t width = 0;
  int64_t height = 0;
  size_t tableStart = headerStart + headerSize;
  if (headerSize == 40) {
    width = int32_t(le32(header + 4));
    height = int32_t(le32(header + 8));
    layout.bits = le16(header + 14);
    layout.compression = le32(header + 16);
    const uint32_t coloursUsed = le32(header + 32);
    layout.tableLength =
        coloursUsed != 0 ? (coloursUsed & 0xFFFFu) : tableLengthForBits(layout.bits);
    layout.entrySize = 4;
  } else {
    width = le16(header + 4);
    height = le16(header + 6);
    layout.bits = le16(header + 10);
    layout.tableLength = tableLengthForBits(layout.bits);
    layout.entrySize = 3;
  }

  // A bitmap of this size must be possible at all.
  layout.topDown = height < 0;
  if (height < 0) height = -height;
  if (width <= 0 || height == 0) return refuse(kOutOfMemory);
  if (!imageSizeAllowed(uint64_t(width), uint64_t(height)))
    return refuseTooLarge(fileName, uint64_t(width), uint64_t(height));
  layout.width = uint32_t(width);
  layout.height = uint32_t(height);

  // Which pixel formats can be converted.
  bool supported = false;
  switch (layout.compression) {
    case kBiRgb:
      supported = layout.bits == 1 || layout.bits == 4 || layout.bits == 8 || layout.bits == 16 ||
                  layout.bits == 24 || layout.bits == 32;
      break;
    case kBiRle8: supported = layout.bits == 8 && !layout.topDown; break;
    case kBiRle4: supported = layout.bits == 4 && !layout.topDown; break;
    case kBiBitfields: supported = layout.bits == 16 || layout.bits == 32; break;
    default: break;
  }
  if (!supported) return refuse(kConversionError);

  if (layout.compression == kBiBitfields) {
    if (size - tableStart < 12) return refuse(kConversionError);
    const unsigned char* masks = bytes + tableStart;
    if (!layout.red.set(le32(masks)) || !layout.green.set(le32(masks + 4)) ||
        !layout.blue.set(le32(masks + 8)))
      return refuse(kConversionError);
    tableStart += 12;
  } else if (layout.bits == 16) {
    layout.red.set(0x7C00);
    layout.green.set(0x03E0);
    layout.blue.set(0x001F);
  } else if (layout.bits == 32) {
    layout.red.set(0x00FF0000);
    layout.green.set(0x0000FF00);
    layout.blue.set(0x000000FF);
  }

  const size_t tableBytes = layout.tableLength * layout.entrySize;
  if (size - tableStart < tableBytes) return refuse(kConversionError);
  layout.table = bytes + tableStart;
  layout.pixelOffset = fileHeader ? le32(bytes + 10) : tableStart + tableBytes;

  const bool rle = layout.compression == kBiRle8 || layout.compression == kBiRle4;
  if (!rle && !pixelsInFile(layout, size)) return refuse(kConversionError);

  auto image = std::unique_ptr<RgbImage>(new (std::nothrow) RgbImage);
  if (image == nullptr) return refuse(kOutOfMemory);
  try {
    image->data.resize(size_t(layout.width) * layout.height * 3);
  } catch (const std::bad_alloc&) {
    return refuse(kOutOfMemory);
  }
  if (rle) {
    if (!decodeRle(layout, bytes, size, image->data.data())) return refuse(kConversionError);
  } else {
    decodeUncompressed(layout, bytes, image->data.data());
  }
  image->width = int32_t(layout.width);
  image->height = int32_t(layout.height);
  return image;
}

std::unique_ptr<RgbImage> loadBmp(const char* fileName) {
  if (fileName == nullptr) return nullptr;
  // A file that cannot be opened is the caller's to report; anything opened
  // but not mappable (not a regular file, say) is this reader's.
  MappedFile file;
  const MapResult mapped = mapFile(fileName, &file);
  if (mapped == MapResult::NotOpened) return nullptr;
  if (mapped != MapResult::Mapped) return refuseOpen(fileName);
  std::unique_ptr<RgbImage> image = decodeBmp(file.data, file.size, fileName);
  unmapFile(&file);
  return image;
}
