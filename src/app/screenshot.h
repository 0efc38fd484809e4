// Screenshots: F12 saves the frame on screen as a PNG in the player's
// pictures folder (platform.h), named by the date and time, e.g.
// "shooter-2026-12-08_17-04-33.png", with "-2", "-3"... where that name is
// taken: nothing is overwritten. In the browser the page's Screenshot button
// offers the canvas's picture as a download of that name, encoded by the
// page itself.
//
// A screenshot changes nothing in the game: the shells catch the key
// themselves, so it never reaches the game's input (app/shell.h), a recording
// or a trace; the main loop only reads the frame it has drawn. A folder that
// cannot be written is reported in a message, and the game plays on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <vector>

// Asks for a screenshot of the next frame the main loop draws.
void requestScreenshot();
bool screenshotRequested();
// True once for each request, which it clears.
bool takeScreenshotRequest();
// The local date and time, for the name.
std::tm screenshotTime();

// The main loop, after a frame is drawn and before it is shown: saves the
// screenshot asked for, if any.
void takeRequestedScreenshot();

// The file name of a screenshot taken at `when`; copy 1 is the plain name,
// copy 2 adds "-2" and so on.
void screenshotName(const std::tm& when, int copy, char* out, size_t size);

// The desktops' own encoding (the browser has none):
// the whole frame in the back buffer, at the drawable's size (app/shell.h),
// as RGB rows, top to bottom.
struct FramePicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;
};
void readFrame(FramePicture* picture);

// Encodes the frame as PNG and saves it in the pictures folder as a new file
// named for `when`. True with the file's path in `path`; false after a
// message (the folder is missing, cannot be made or cannot be written, or its
// path leaves no room for the name).
bool saveScreenshot(const FramePicture& picture, const std::tm& when, char* path, size_t pathSize);
