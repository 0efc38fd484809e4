// The GL layer over a backend that draws nothing and keeps what it is handed:
// the streamed vertices and the last projection. For the tests that compare
// the layer's short ways with plain ones, vertex for vertex.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gl/gl_batch.h"
#include "gl/gl_layer.h"
#include "support/gl_context.h"

class LayerCapture : public ::testing::Test {
 public:
  // What the backend was handed since the last take().
  static inline std::vector<glbatch::EyeVertex> streamed;
  static inline GLdouble projected[16];

 protected:
  void SetUp() override {
    ASSERT_TRUE(context_.open()) << "no OpenGL context";
    glbatch::useBackend(kCapture);
    ASSERT_TRUE(layerStart());
    streamed.clear();
  }
  void TearDown() override {
    layerStop();
    glbatch::useBackend(glbatch::fixedFunctionBackend);
    context_.close();
  }
  // What the calls since the last take() streamed.
  static std::vector<glbatch::EyeVertex> take() {
    layerFlush();
    std::vector<glbatch::EyeVertex> out;
    out.swap(streamed);
    return out;
  }

 private:
  static inline const glbatch::Backend kCapture = {
      [] { return true; },
      [] {},
      [](const glbatch::EyeVertex* v, size_t n) { streamed.insert(streamed.end(), v, v + n); },
      [](bool) {},
      [](const GLdouble* m) { std::memcpy(projected, m, sizeof projected); },
      false};
  GlContext context_;
};
