// Placeholder: replaced by the real implementation.
#include "world/particles.h"
Particle particles[kParticlesPerBurst][kBursts];
int burstRandom() { return 0; }
void resetBurstRandom() {}
void startBurst() {}
void drawParticles() {}
void resetParticles() {}
