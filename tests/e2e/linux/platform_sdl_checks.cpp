// The SDL shell's OS services: clocks, sleeping, the cursor without a window,
// the shot sound (read once, silent when unusable) and message boxes where
// none can be shown. Linked with the real services, not the test stand-in.
#include <gtest/gtest.h>

#include <SDL.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>
#include <vector>

#include "app/sdl/sound.h"
#include "app/sdl/window.h"
#include "platform/platform.h"

namespace {
double secondsSince(Uint64 start) {
  return static_cast<double>(SDL_GetPerformanceCounter() - start) /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

// A PCM wave file: `bits` 8 or 16, mono or stereo, a short sine tone.
std::vector<unsigned char> waveFile(int rate, int bits, int channels, int frames) {
  std::vector<unsigned char> data;
  const int bytesPerSample = bits / 8;
  for (int i = 0; i < frames; ++i) {
    const double v = std::sin(i * 0.3);
    for (int c = 0; c < channels; ++c) {
      if (bits == 8) {
        data.push_back(static_cast<unsigned char>(128 + static_cast<int>(100 * v)));
      } else {
        const int16_t s = static_cast<int16_t>(8000 * v);
        data.push_back(static_cast<unsigned char>(s & 0xFF));
        data.push_back(static_cast<unsigned char>((s >> 8) & 0xFF));
      }
    }
  }
  std::vector<unsigned char> file;
  auto put32 = [&file](uint32_t v) {
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  auto put16 = [&file](uint32_t v) {
    for (int i = 0; i < 2; ++i) file.push_back(static_cast<unsigned char>(v >> (8 * i)));
  };
  auto tag = [&file](const char* t) {
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<unsigned char>(t[i]));
  };
  tag("RIFF");
  put32(static_cast<uint32_t>(36 + data.size()));
  tag("WAVE");
  tag("fmt ");
  put32(16);
  put16(1);
  put16(static_cast<uint32_t>(channels));
  put32(static_cast<uint32_t>(rate));
  put32(static_cast<uint32_t>(rate * channels * bytesPerSample));
  put16(static_cast<uint32_t>(channels * bytesPerSample));
  put16(static_cast<uint32_t>(bits));
  tag("data");
  put32(static_cast<uint32_t>(data.size()));
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  // An empty vector's data() may be null, which fwrite must not be given.
  if (!bytes.empty()) {
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  }
  std::fclose(f);
}

// The pictures folder: XDG_PICTURES_DIR, else the user-dirs.dirs line, else
// ~/Pictures; made when missing; a path that cannot be a folder says why.
TEST(SdlPlatform, PicturesFolderIsTheUsersAndIsMadeWhenMissing) {
  char work[] = "/tmp/shooter-pictures-XXXXXX";
  ASSERT_NE(mkdtemp(work), nullptr);
  const std::string home = work;
  const std::string dirs = home + "/config/user-dirs.dirs";
  ASSERT_EQ(mkdir((home + "/config").c_str(), 0755), 0);
  struct Case {
    const char* variable;  // XDG_PICTURES_DIR, null: unset
    std::string dirsLine;  // the user-dirs.dirs file's, empty: no file
    std::string folder;    // the answer; empty: refused
  };
  const Case cases[] = {
      {nullptr, "", home + "/Pictures"},
      {nullptr, "XDG_PICTURES_DIR=\"$HOME/Bilder\"", home + "/Bilder"},
      {nullptr, "  XDG_PICTURES_DIR=\"" + dirs + "/under-a-file\"", ""},
      {"/dev/null/pictures", "XDG_PICTURES_DIR=\"$HOME/Bilder\"", ""},
      // The file is read as the shell that sources it reads it: the last
      // assignment wins, ${HOME} and unquoted values count, an escaped quote
      // is a quote.
      {nullptr, "XDG_PICTURES_DIR=\"$HOME/One\"\nXDG_PICTURES_DIR=\"$HOME/Two\"", home + "/Two"},
      {nullptr, "XDG_PICTURES_DIR=\"${HOME}/Braced\"", home + "/Braced"},
      {nullptr, "XDG_PICTURES_DIR=$HOME/Bare  # a comment", home + "/Bare"},
      {nullptr, "XDG_PICTURES_DIR=\"$HOME/Say \\\"cheese\\\"\"", home + "/Say \"cheese\""},
      {nullptr, "XDG_PICTURES_DIR='$HOME'", home + "/Pictures"},  // literal: not absolute
      {nullptr, "XDG_PICTURES_DIR=\"$HOME/Open", home + "/Pictures"},
      // XDG's variables hold absolute paths: a relative one is ignored.
      {"relative/pictures", "", home + "/Pictures"},
  };
  const std::string ownHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
  for (const Case& c : cases) {
    if (c.variable != nullptr) {
      setenv("XDG_PICTURES_DIR", c.variable, 1);
    } else {
      unsetenv("XDG_PICTURES_DIR");
    }
    std::remove(dirs.c_str());
    if (!c.dirsLine.empty()) {
      FILE* f = std::fopen(dirs.c_str(), "w");
      ASSERT_NE(f, nullptr);
      std::fprintf(f, "# written by the test\n%s\n", c.dirsLine.c_str());
      std::fclose(f);
    }
    char out[1024];
    const bool found = platformPicturesFolder(out, sizeof out);
    EXPECT_EQ(found, !c.folder.empty()) << out;
    if (found) {
      EXPECT_EQ(out, c.folder);
      struct stat info {};
      EXPECT_TRUE(stat(out, &info) == 0 && S_ISDIR(info.st_mode)) << out;
    } else {
      EXPECT_NE(std::string(out).find("cannot be made"), std::string::npos) << out;
    }
  }
  unsetenv("XDG_PICTURES_DIR");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", ownHome.c_str(), 1);
  std::system(("rm -rf '" + home + "'").c_str());
}

TEST(SdlPlatform, CounterAndMillisecondClockAdvanceWithSleep) {
  int64_t frequency = 0;
  ASSERT_TRUE(platformCounterFrequency(&frequency));
  EXPECT_GT(frequency, 0);
  const int64_t c0 = platformCounter();
  const uint32_t m0 = platformMilliseconds();
  platformSleep(20);
  const int64_t c1 = platformCounter();
  const uint32_t m1 = platformMilliseconds();
  EXPECT_GE(static_cast<double>(c1 - c0) / static_cast<double>(frequency), 0.0195);
  EXPECT_GE(m1 - m0, 19u);
}

TEST(SdlPlatform, SleepingNothingReturnsAtOnce) {
  const Uint64 start = SDL_GetPerformanceCounter();
  platformSleep(0);
  platformSleep(-5);
  platformSleep(std::nan(""));
  EXPECT_LT(secondsSince(start), 0.005);
  const Uint64 fraction = SDL_GetPerformanceCounter();
  platformSleep(0.5);  // sub-millisecond sleeps are honoured, not rounded to 0
  EXPECT_GE(secondsSince(fraction), 0.0004);
}

// Pumps SDL's events for up to a second, until `done` holds.
template <typename Done>
bool pumpUntil(Done done) {
  for (int i = 0; i < 100; ++i) {
    SDL_PumpEvents();
    if (done()) return true;
    SDL_Delay(10);
  }
  return false;
}

// Before the game's window exists (or after it is gone) the warp must not move
// the cursor, not even within another window that has the mouse: SDL warps in
// the window with the mouse when it is given none. With the game's window it
// warps. Only a real window system gives a window the mouse: CTest runs this
// case on X11 (sdl_platform_tests_x11), not on the offscreen driver.
TEST(SdlPlatform, WarpingWithoutAWindowDoesNothing) {
  ASSERT_EQ(gameWindow, nullptr);
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* other = SDL_CreateWindow("other", 0, 0, 640, 480, 0);
  ASSERT_NE(other, nullptr) << SDL_GetError();
  int x = -1, y = -1;
  const auto at = [&x, &y](int wantX, int wantY) {
    SDL_GetMouseState(&x, &y);
    return x == wantX && y == wantY;
  };
  EXPECT_TRUE(pumpUntil([&] {
    SDL_WarpMouseInWindow(other, 10, 20);
    return SDL_GetMouseFocus() == other && at(10, 20);
  })) << "no window gets the mouse on SDL's "
      << SDL_GetCurrentVideoDriver() << " driver";
  platformWarpCursor(320, 240);
  pumpUntil([&] { return at(320, 240); });
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 20);

  gameWindow = other;
  platformWarpCursor(320, 240);
  EXPECT_TRUE(pumpUntil([&] { return at(320, 240); })) << x << ", " << y;
  gameWindow = nullptr;
  SDL_DestroyWindow(other);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST(SdlPlatform, MessageBoxesThatCannotBeShownNeverMeanYesAndTheirTextIsKept) {
  // No display of any kind: the box cannot appear.
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  testing::internal::CaptureStderr();
  EXPECT_EQ(
      platformMessageBox("Question?", "Caption", MessageButtons::YesNo, MessageIcon::Question),
      Answer::Cancel);
  EXPECT_EQ(platformMessageBox("Invalid file format (Version not 8): tris.md2!", "Error",
                               MessageButtons::Ok, MessageIcon::None),
            Answer::Cancel);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("Caption: Question?\n"), std::string::npos) << said;
  EXPECT_NE(said.find("Error: Invalid file format (Version not 8): tris.md2!\n"), std::string::npos)
      << said;
}

// One sequence: the sound state lives for the whole process.
TEST(SdlPlatform, SoundsAreReadOnceAndUnusableOnesStaySilent) {
  char folder[] = "/tmp/shooter-sound-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string dir = folder;

  // Unusable files never start the sound system.
  platformPlaySound(nullptr);
  platformPlaySound((dir + "/missing.wav").c_str());
  writeFile(dir + "/empty.wav", {});
  platformPlaySound((dir + "/empty.wav").c_str());
  std::vector<unsigned char> truncated = waveFile(22050, 16, 1, 100);
  truncated.resize(30);
  writeFile(dir + "/truncated.wav", truncated);
  platformPlaySound((dir + "/truncated.wav").c_str());
  platformPlaySound(std::string(400, 'x').c_str());  // a name too long to remember
  // A pipe in place of the sound would block the game until something wrote
  // into it: only regular files are opened.
  const std::string fifo = dir + "/fifo.wav";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::future<void> played =
      std::async(std::launch::async, [&fifo] { platformPlaySound(fifo.c_str()); });
  const bool returned = played.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  if (!returned) {
    // Free the blocked reader before failing.
    const int writer = open(fifo.c_str(), O_WRONLY);
    if (writer >= 0) close(writer);
  }
  played.wait();
  EXPECT_TRUE(returned) << "opening the pipe blocked";
  std::remove(fifo.c_str());
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

  // A good file, loaded as the game does at start-up, opens the device then,
  // and then plays from memory.
  const std::string shot = dir + "/shot.wav";
  writeFile(shot, waveFile(22050, 16, 1, 4410));
  loadSound(shot.c_str());
  EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  ASSERT_EQ(std::remove(shot.c_str()), 0);
  const Uint64 start = SDL_GetPerformanceCounter();
  for (int i = 0; i < 1000; ++i) platformPlaySound(shot.c_str());
  EXPECT_LT(secondsSince(start), 0.5) << "each shot must restart the sound, not reload it";

  // Another format is converted to the device's.
  const std::string other = dir + "/other.wav";
  writeFile(other, waveFile(11025, 8, 2, 2000));
  platformPlaySound(other.c_str());
  platformPlaySound(shot.c_str());
  SDL_Delay(50);

  // More files than there are slots: the extra ones are simply silent.
  for (int i = 0; i < 6; ++i) {
    const std::string extra = dir + "/extra" + std::to_string(i) + ".wav";
    writeFile(extra, waveFile(22050, 16, 1, 100));
    platformPlaySound(extra.c_str());
    std::remove(extra.c_str());
  }
  std::remove(other.c_str());
  std::remove((dir + "/empty.wav").c_str());
  std::remove((dir + "/truncated.wav").c_str());
  rmdir(folder);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}
}  // namespace
