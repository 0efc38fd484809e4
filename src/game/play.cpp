// Placeholder: replaced by the real implementation.
#include "game/play.h"
void updateEnemies() {}
void fireIfRequested() {}
void marchShot() {}
void drawCrosshair() {}
void drawHud() {}
void drawStats() {}
void drawEndScreen() {}
