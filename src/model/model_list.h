// The enemy model compiled into one display list.
#pragma once

#include "gl.h"

extern GLuint modelList;

// Compiles mesh 0 of enemyModel with the skin texture bound.
void buildModelList();
