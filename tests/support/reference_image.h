// Rendered frames against the committed pictures in tests/reference/: the
// one comparer of the GL tests. SHOOTER_WRITE_FRAMES=1 rewrites the pictures
// instead of comparing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Whether SHOOTER_WRITE_FRAMES asks for the pictures to be (re)written.
bool writingFrames();

// Where frames go for review: build/frames/<name>.png, never the sources.
std::string framePath(const std::string& name);
// Frames are RGB rows as glReadPixels gives them, bottom row first.
bool writeFrame(const std::string& path, const std::vector<uint8_t>& rgb, int width = 640,
                int height = 480);

// Compares the frame with tests/reference/<name>.png: a pixel differs when a
// channel is off by more than 24, and the test fails when more than
// allowedPixels pixels differ (each test's measured tolerance for what the
// GL backends may draw differently). A differing frame is written to
// framePath(name + "-actual") for a look.
void expectMatchesReference(const std::string& name, size_t allowedPixels,
                            const std::vector<uint8_t>& rgb, int width = 640, int height = 480);
