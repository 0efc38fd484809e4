// The data files the game loads, by their paths relative to its working folder: their one home.
// The game, the data generator and CMake (cmake/data_files.cmake, for the generator's outputs
// and the packages) all take the names from here. Keep one name per line in this form:
// CMake reads the lines that start with "inline constexpr const char* k".
#pragma once

inline constexpr const char* kModelFile = "tris.md2";      // the enemy model (MD2)
inline constexpr const char* kSkinFile = "hobgoblin.bmp";  // the model's skin
inline constexpr const char* kFontFile = "Data/Font.TGA";  // the font's 16 x 16 glyphs
inline constexpr const char* kWallsFile = "Data/walls.bmp";
inline constexpr const char* kCrosshairFile = "Data/crosshair.bmp";
inline constexpr const char* kSmokeFile = "Data/smoke.bmp";
inline constexpr const char* kExitFile = "Data/exit.bmp";         // the door
inline constexpr const char* kFloorFile = "Data/floor.bmp";       // floor and ceiling
inline constexpr const char* kRifleSoundFile = "Data/rifle.WAV";  // played on every shot
