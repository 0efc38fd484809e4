// The game's six bitmap textures, made once at start-up.
#pragma once

#include "gl.h"

extern GLuint wallTexture;
extern GLuint crosshairTexture;
extern GLuint smokeTexture;
extern GLuint skinTexture;
extern GLuint exitTexture;
extern GLuint floorTexture;

// Makes a mipmapped texture of each bitmap that loads; true if at least one did.
bool loadTextures();
