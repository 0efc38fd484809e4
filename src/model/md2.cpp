// Placeholder: replaced by the real implementation.
#include "model/md2.h"
Md2Reader md2Reader;
bool Md2Reader::load(Model*, const char*, const char*) { return true; }
void Md2Reader::readSections() {}
void Md2Reader::buildMesh(Model*) {}
void Md2Reader::computeNormals(Model*) {}
void Md2Reader::release() {}
