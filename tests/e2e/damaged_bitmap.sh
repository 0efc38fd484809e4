#!/bin/bash
# Writes a 64-byte RLE8 bitmap to $1 that claims 67,108,864 x 1 pixels and
# ends at once: the shape that once reached the mipmap builder and aborted the
# game, and that would swamp memory if it were expanded.
le32() {
  local v=$1 i
  for i in 0 8 16 24; do printf "\\$(printf '%03o' $(((v >> i) & 255)))"; done
}
le16() { printf "\\$(printf '%03o' $(($1 & 255)))\\$(printf '%03o' $((($1 >> 8) & 255)))"; }
{
  printf 'BM'; le32 64; le32 0; le32 58                # file header: size, offset of the pixels
  le32 40; le32 67108864; le32 1; le16 1; le16 8       # 40-byte header, width, height, planes, bits
  le32 1; le32 6; le32 0; le32 0; le32 1; le32 0       # RLE8, data size, resolution, one colour
  le32 0                                               # the colour: black
  printf '\000\000\000\001\000\000'                    # end of line, end of bitmap, padding
} >"$1"
