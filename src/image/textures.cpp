// The texture set: the six bitmaps loaded as mipmapped textures, each checked
// against the context first.
#include "image/textures.h"

#include "data_files.h"
#include "image/bmp.h"
#include "image/upload.h"

GLuint wallTexture;
GLuint crosshairTexture;
GLuint smokeTexture;
GLuint skinTexture;
GLuint exitTexture;
GLuint floorTexture;

namespace {

struct TextureFile {
  const char* fileName;
  GLuint* name;
};

const TextureFile kTextureFiles[] = {
    {kWallsFile, &wallTexture}, {kCrosshairFile, &crosshairTexture}, {kSmokeFile, &smokeTexture},
    {kSkinFile, &skinTexture},  {kExitFile, &exitTexture},           {kFloorFile, &floorTexture},
};

}  // namespace

bool loadTextures() {
  bool loaded = false;
  // The images' rows are packed without padding.
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (const TextureFile& file : kTextureFiles) {
    *file.name = 0;
    const std::unique_ptr<RgbImage> image = loadBmp(file.fileName);
    // A missing bitmap, or one the context cannot take, leaves it empty.
    if (image == nullptr || !textureFits(image->width, image->height, GL_RGB8, GL_RGB)) continue;
    loaded = true;
    glGenTextures(1, file.name);
    glBindTexture(GL_TEXTURE_2D, *file.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->data.data());
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return loaded;
}
