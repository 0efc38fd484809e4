// The desktop's GL path, chosen at start: through the game's GL layer unless
// the command line or the environment asks for the driver directly.
#include <cstdlib>
#include <cstring>

#include "app/gl_path.h"
#include "gl.h"

void readGlOptions(int argc, char** argv) {
  const char* variable = std::getenv("SHOOTER_DIRECT_GL");
  bool direct = variable != nullptr && variable[0] != '\0' && std::strcmp(variable, "0") != 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], kDirectGlOption) == 0) direct = true;
  }
  gldesk::choosePath(direct ? gldesk::Path::Direct : gldesk::Path::Layer);
}
