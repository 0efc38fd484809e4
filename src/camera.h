// The view's fixed numbers: the field of view, the eye heights and the depth of the text plane.
// Every layer may include it: the projection (app), the frame and the shot (game), the
// particles (world), the text (text), and the data generator's previews.
#pragma once

// The projection's vertical field of view, degrees: the top edge of the view
// lies tan(kFieldOfView / 2) = tan 30 degrees above its centre line.
constexpr double kFieldOfView = 60.0;
// Near and far clipping planes, world units.
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 1250.0;

// The camera's height above the floor for the maze and the enemies.
constexpr double kEyeHeight = 25.0;
// The shot's height: its ray starts there, and the particles are seen from
// there, so that an impact shows where the crosshair points.
constexpr double kMuzzleHeight = 10.0;

// Text is printed on a plane this far in front of the eye (eye-space units).
constexpr double kTextDepth = 500.0;
