// Inside the GL layer's drawing core: its matrix stacks, shared between the
// batch (gl_batch.cpp) and the rotations (gl_batch_rotate.cpp). Nothing else
// includes this.
#pragma once

#include "gl/gl_system.h"

namespace glbatch {

// Two doubles side by side, for arithmetic two at a time where the target has
// it (SSE2, WebAssembly's SIMD) and one at a time where not.
using Pair = GLdouble __attribute__((vector_size(16)));

// What is known of a matrix, as a driver keeps it, so that the common
// products take the short way: the identity, an affine matrix (bottom row
// 0 0 0 1: every rotation and translation), or anything.
enum class Kind : unsigned char { Identity, Affine, General };

// On a 16-byte boundary, 144 bytes: a column's pair of rows loads as one, and
// a matrix is found and copied in whole pairs.
struct alignas(16) Matrix {
  GLdouble m[16];
  Kind kind;
};

extern Matrix modelview[];
extern int modelviewTop;
extern bool projectionMode;
extern bool textureMode;

// The matrix a call changes (the projection's change first draws what was
// batched under the old one).
Matrix& changing();
// After a change: a new projection goes to the backend.
void settle();
// a x b, column-major.
void multiplyInto(Matrix* a, const GLdouble b[16]);

}  // namespace glbatch
