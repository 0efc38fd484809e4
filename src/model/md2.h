// Reader for MD2 (version 8) model files: the first frame becomes one static
// triangle mesh with smooth per-vertex normals.
//
// The file is treated as hostile: every count, offset, frame size and index
// is checked against the file before anything is read or used, and a file
// that fails a check is refused with an "Error" message naming it. The model
// is only touched once the whole file has been read and checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/model.h"

struct Md2Header {
  int32_t ident;
  int32_t version;
  int32_t skinwidth;
  int32_t skinheight;
  int32_t framesize;
  int32_t num_skins;
  int32_t num_xyz;
  int32_t num_st;
  int32_t num_tris;
  int32_t num_glcmds;
  int32_t num_frames;
  int32_t ofs_skins;
  int32_t ofs_st;
  int32_t ofs_tris;
  int32_t ofs_frames;
  int32_t ofs_glcmds;
  int32_t ofs_end;
};

struct Md2Frame {
  std::vector<Vector3f> positions;  // num_xyz entries, in the game's axes
};

class Md2Reader {
 public:
  static constexpr int kHeaderBytes = 68;
  // The first frame is read whole into a buffer of this size: the largest
  // frame a model may have.
  static constexpr int kFrameBufferBytes = 8320;
  static constexpr int kFrameHeaderBytes = 40;  // scale, translate, name
  static constexpr int kSkinNameBytes = 64;

  struct TexCoord {
    int16_t s, t;  // texels
  };
  struct Triangle {
    int16_t index_xyz[3];
    int16_t index_st[3];
  };
  struct SkinName {
    char name[kSkinNameBytes];
  };

  // Fills `model` from the file (mapped, never read through a stream); false
  // after an "Error" message box.
  bool load(Model* model, const char* fileName, const char* skinFile);
  // The same load from bytes already in memory; `name` stands for the file
  // name in messages. Used by the fuzzer and the tests.
  bool loadFromMemory(Model* model, const unsigned char* data, size_t size, const char* name,
                      const char* skinFile);

  // The checks and reads of a load without the model: true leaves the header
  // and the sections below in the reader until release(); false after the
  // same "Error" message a load gives. For tools that look at the file as
  // stored (the data generator, the data-file tests).
  bool read(const unsigned char* data, size_t size, const char* name);
  const Md2Header& header() const { return header_; }
  const std::vector<SkinName>& skinNames() const { return skins_; }
  const std::vector<TexCoord>& texCoords() const { return texCoords_; }
  const std::vector<Triangle>& triangles() const { return triangles_; }
  // The first frame's positions, in the game's axes.
  const std::vector<Vector3f>& firstFrame() const { return frames_[0].positions; }

  // Reads the skin names, texture coordinates, triangles and the first frame.
  // False when a section cannot be read or a triangle names a vertex or
  // texture coordinate that does not exist (the reason is kept for load).
  bool readSections();
  // Turns the sections into one mesh appended to the model.
  void buildMesh(Model* model);
  // Fills the normals of meshes 0..meshCount-1 (see md2.cpp for the rule).
  void computeNormals(Model* model);
  // Lets go of the source and frees the reader's arrays.
  void release();

 private:
  const char* checkHeader() const;
  bool readAt(int64_t offset, void* destination, size_t bytes);
  void decodeFirstFrame();

  const unsigned char* memory_ = nullptr;  // the source: mapped file or caller's bytes
  int64_t sourceSize_ = 0;
  Md2Header header_{};
  std::vector<SkinName> skins_;
  std::vector<TexCoord> texCoords_;
  std::vector<Triangle> triangles_;
  std::vector<Md2Frame> frames_;
  const char* fault_ = nullptr;  // why readSections refused the file
  unsigned char frameBuffer_[kFrameBufferBytes] = {};
};

extern Md2Reader md2Reader;
