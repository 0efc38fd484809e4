// The GL layer's count of the objects it made and nothing deleted, through the
// game's own start and end (the shells' gldesk::start, initScene,
// releaseScene, gldesk::stop): the game leaves none, and one planted and never
// deleted is told.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "gl.h"
#include "model/model.h"
#include "support/game_scene.h"

namespace {
struct Planted {
  const char* name;
  void (*plant)();
  const char* left;  // what the layer then tells
};
const Planted kPlanted[] = {
    {"the game alone", [] {}, ""},
    {"a texture never deleted",
     [] {
       GLuint name = 0;
       glGenTextures(1, &name);
       glBindTexture(GL_TEXTURE_2D, name);
     },
     "1 textures"},
    {"two lists never deleted", [] { glGenLists(2); }, "2 lists"},
    {"a list named by glNewList alone",
     [] {
       glNewList(3000, GL_COMPILE);
       glEndList();
     },
     "1 lists"},
    {"a texture deleted twice",
     [] {
       GLuint name = 0;
       glGenTextures(1, &name);
       glDeleteTextures(1, &name);
       glDeleteTextures(1, &name);
     },
     ""},
};

class LiveObjects : public scene::GlScene {};

TEST_F(LiveObjects, TheGameLeavesNoneAndAPlantedOneIsTold) {
  for (const Planted& p : kPlanted) {
    ASSERT_TRUE(initScene()) << p.name;
    p.plant();
    releaseScene();
    enemyModel = Model{};
    scene::stopGl();
    EXPECT_EQ(scene::leftLive(), p.left) << p.name;
    scene::startGl();
  }
}
}  // namespace
