// stb's PNG writer (Debian's libstb-dev), compiled once for the game: the
// screenshots encode with stbi_write_png_to_func. Third-party code, built
// with its own warnings left alone (src/CMakeLists.txt).
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
