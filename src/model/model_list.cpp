// Placeholder: replaced by the real implementation.
#include "model/model_list.h"
GLuint modelList;
void buildModelList() {}
