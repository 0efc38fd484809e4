#include "support/gl_test.h"

#include <cstdint>
#include <string>
#include <system_error>

#include "support/game_scene.h"
#include "support/test_platform.h"

namespace scene {

void GlTest::SetUp() {
  testPlatform.clear();
  const bool small = readsNoPixel();
  ASSERT_TRUE(context.open(small ? 64 : 640, small ? 48 : 480)) << "no OpenGL context";
  startGl(glPath());
}

void GlTest::TearDown() {
  if (!scratch.empty()) {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(scratch, ignored);
    scratch.clear();
  }
  stopGl();
  context.close();
}

void GlTest::enterScratchFolder(const char* name) {
  previous_ = std::filesystem::current_path();
  scratch = std::filesystem::temp_directory_path() /
            (std::string("shooter-") + name + "-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
  std::filesystem::create_directories(scratch / "Data");
  std::filesystem::current_path(scratch);
}

}  // namespace scene
