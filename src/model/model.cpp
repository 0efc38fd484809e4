// Placeholder: replaced by the real implementation.
#include "model/model.h"
Model enemyModel;
void releaseMeshArrays(Model*) {}
