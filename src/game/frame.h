// One game frame: advances the whole game by one step and draws it.
#pragma once

// Always returns true.
bool runFrame();
