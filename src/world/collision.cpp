// Placeholder: replaced by the real implementation.
#include "world/collision.h"
bool collideCell(double*, double*, double*, double*, double*, double*, double, double) { return false; }
bool collideZone(double*, double*, double*, double*, double*, double*, double, double) { return false; }
