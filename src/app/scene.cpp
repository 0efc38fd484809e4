// The scene start-up: model, font and textures loaded, lists built, fixed GL state set.
#include "app/shell.h"
#include "data_files.h"
#include "gl.h"
#include "image/textures.h"
#include "model/md2.h"
#include "model/model_list.h"
#include "platform/platform.h"
#include "platform/timer.h"
#include "text/font.h"
#include "world/maze.h"

void setFixedGlState() {
  glEnable(GL_TEXTURE_2D);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool initScene() {
  if (!md2Reader.load(&enemyModel, kModelFile, kSkinFile)) return false;
  if (!loadTga(&fontTexture, kFontFile)) return false;
  if (!loadTextures()) return false;

  // The mouse-move messages this causes turn the view like any other motion.
  platformWarpCursor(322, 240);
  platformWarpCursor(320, 240);

  buildMaze();
  buildModelList();

  setFixedGlState();

  timerInit();
  buildFontLists();
  return true;
}

void releaseScene() {
  releaseMeshArrays(&enemyModel);
  deleteFontLists();
  // Every other list and texture the start-up made: none outlives the scene.
  if (mazeLists[0] != 0) glDeleteLists(mazeLists[0], kPathCells);
  for (GLuint& list : mazeLists) list = 0;
  if (modelList != 0) glDeleteLists(modelList, 1);
  modelList = 0;
  GLuint* const textures[] = {
      &wallTexture, &crosshairTexture, &smokeTexture,           &skinTexture,
      &exitTexture, &floorTexture,     &fontTexture.textureName};
  for (GLuint* texture : textures) {
    if (*texture != 0) glDeleteTextures(1, texture);
    *texture = 0;
  }
}
