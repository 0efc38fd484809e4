// The desktop's GL path, chosen at start: through the game's GL layer unless
// the command line or the environment asks for the driver directly.
#include <cstdlib>
#include <cstring>

#include "app/gl_path.h"
#include "app/shell.h"
#include "gl.h"

void chooseGlPath(bool directOption) {
  const char* variable = std::getenv("SHOOTER_DIRECT_GL");
  const bool direct = directOption || (variable != nullptr && variable[0] != '\0' &&
                                       std::strcmp(variable, "0") != 0);
  gldesk::choosePath(direct ? gldesk::Path::Direct : gldesk::Path::Layer);
}

WindowOpen openGameScene(int width, int height) {
  StartError error = StartError::CreateContext;
  if (gldesk::start()) {
    resizeView(width, height);
    if (initScene()) return WindowOpen::Opened;
    error = StartError::Scene;
  }
  closeGameWindow();
  showStartError(error);
  return WindowOpen::Failed;
}

void closeGameScene() {
  // Model arrays and font lists go while the context is still current.
  releaseScene();
  gldesk::stop();
}
