// A rough software rendering of the maze's textures as the game shows them
// at 640 x 480 (60-degree view, eye height 25, mipmaps picked per pixel),
// for the contact sheet only.
#pragma once

#include "image.h"

// Looking down the last corridor at the exit door, crosshair in the middle.
Picture previewExitView(const Picture& walls, const Picture& floor, const Picture& exit,
                        const Picture& crosshair);
// Looking along the longest straight corridor (1024 units) from its end.
Picture previewLongCorridor(const Picture& walls, const Picture& floor, const Picture& exit,
                            const Picture& crosshair);
