// Reader for MD2 (version 8) model files: the first frame becomes one static
// triangle mesh with smooth per-vertex normals.
#pragma once

#include <cstdint>
#include <cstdio>

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
  Vector3f* positions = nullptr;  // num_xyz entries, in the game's axes
};

class Md2Reader {
 public:
  // Fills `model` from the file; false after an "Error" message box.
  bool load(Model* model, const char* fileName, const char* skinFile);

  void readSections();
  void buildMesh(Model* model);
  void computeNormals(Model* model);
  void release();

  // Implementation details are the reader's own (see md2.cpp).
 private:
  FILE* file_ = nullptr;
  Md2Header header_{};
  // ... remaining members are defined by the reader's implementation.
};

extern Md2Reader md2Reader;
