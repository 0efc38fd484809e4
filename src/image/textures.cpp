// The texture set: the six bitmaps loaded as mipmapped textures.
#include "image/textures.h"

#include "data_files.h"
#include "image/bmp.h"

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
    {kWallsFile, &wallTexture}, {kCrosshairFile, &crosshairTexture},
    {kSmokeFile, &smokeTexture}, {kSkinFile, &skinTexture},
    {kExitFile, &exitTexture},   {kFloorFile, &floorTexture},
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
    RgbImage* image = loadBmp(file.fileName);
    if (image == nullptr) continue;  // the texture stays empty
    loaded = true;
    glGenTextures(1, file.name);
    glBindTexture(GL_TEXTURE_2D, *file.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB8, image->width, image->height, GL_RGB,
                      GL_UNSIGNED_BYTE, image->data);
    freeRgbImage(image);
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return loaded;
}
