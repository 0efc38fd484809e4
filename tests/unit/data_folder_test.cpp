// Finding the data folder wherever the game is started from, and the file
// names of the options kept in the folder the player started it from.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/data_folder.h"

namespace fs = std::filesystem;

TEST(DataFolder, RelativeNamesJoinTheFolderAbsoluteOnesStay) {
  struct Case {
    const char* folder;
    const char* path;
    size_t size;
    const char* joined;  // nullptr: does not fit
  };
  const Case cases[] = {
      {"/game/p", "rel.rec", 64, "/game/p/rel.rec"},
      {"/game/p/", "rel.rec", 64, "/game/p/rel.rec"},
      {"/", "rel.rec", 64, "/rel.rec"},
      {"/game/p", "sub/../x.trace", 64, "/game/p/sub/../x.trace"},
      {"/game/p", "/tmp/abs.rec", 64, "/tmp/abs.rec"},
      {"", "Data/Font.TGA", 64, "Data/Font.TGA"},
      {"/game/p", "rel.rec", 16, "/game/p/rel.rec"},  // exactly fits with its end
      {"/game/p", "rel.rec", 15, nullptr},
      {"/game/p", "/tmp/abs.rec", 12, nullptr},
#ifdef _WIN32
      {"C:\\Users\\p", "rel.rec", 64, "C:\\Users\\p/rel.rec"},
      {"C:\\Users\\p\\", "rel.rec", 64, "C:\\Users\\p\\rel.rec"},
      {"C:\\Users\\p", "D:\\x.rec", 64, "D:\\x.rec"},
      {"C:\\Users\\p", "\\\\server\\share\\x.rec", 64, "\\\\server\\share\\x.rec"},
#else
      {"/game/p", "C:x.rec", 64, "/game/p/C:x.rec"},
#endif
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.folder) + " + " + c.path);
    char out[64] = "junk";
    EXPECT_EQ(pathFromFolder(c.folder, c.path, out, c.size), c.joined != nullptr);
    EXPECT_STREQ(out, c.joined != nullptr ? c.joined : "");
  }
}

// The folders a game may be started from, each holding a data file or not.
TEST(DataFolder, FirstFolderHoldingDataWins) {
  const fs::path base = fs::temp_directory_path() / "shooter-data-folder-test";
  fs::remove_all(base);
  const fs::path working = base / "home";
  const fs::path program = base / "archive";
#ifdef SHOOTER_INSTALL_PROGRAM_DIR
  const fs::path installedProgram = base / SHOOTER_INSTALL_PROGRAM_DIR;
  const fs::path installedData = base / SHOOTER_INSTALL_DATA_DIR;
#endif
  struct Case {
    const char* name;
    bool inWorking, inProgram, inInstalled;
    const char* dataFile;  // the one data file each holding folder has
    int chosen;            // 0 working, 1 program, 2 installed, -1 none
  };
  const Case cases[] = {
      {"every folder holds data", true, true, true, "tris.md2", 0},
      {"a damaged folder with one file", true, true, false, "Data/walls.bmp", 0},
      {"started elsewhere, the archive", false, true, true, "Data/Font.TGA", 1},
#ifdef SHOOTER_INSTALL_PROGRAM_DIR
      {"started elsewhere, installed", false, false, true, "Data/rifle.WAV", 2},
#endif
      {"no data anywhere", false, false, false, "tris.md2", -1},
      {"not a data file", true, true, true, "Data/other.bmp", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(base);
    fs::create_directories(working);
    fs::create_directories(program);
    std::string programFolder = program.string();
    std::string installed;
#ifdef SHOOTER_INSTALL_PROGRAM_DIR
    fs::create_directories(installedProgram);
    fs::create_directories(installedData);
    installed = fs::canonical(installedData).string();
#endif
    const auto plant = [&c](const fs::path& folder) {
      fs::create_directories((folder / c.dataFile).parent_path());
      std::ofstream(folder / c.dataFile) << "x";
    };
    if (c.inWorking) plant(working);
    if (c.inProgram) plant(program);
#ifdef SHOOTER_INSTALL_PROGRAM_DIR
    if (c.inInstalled) plant(installedData);
    // The installed program's folder holds no data: only the layout finds it.
    if (!c.inProgram) programFolder = installedProgram.string();
#endif
    char out[4096] = "junk";
    const bool found =
        findDataFolder(working.string().c_str(), programFolder.c_str(), out, sizeof out);
    ASSERT_EQ(found, c.chosen >= 0);
    const std::string expected[] = {"", working.string(), program.string(), installed};
    const std::string chosen = c.chosen == 2 ? fs::canonical(out).string() : std::string(out);
    EXPECT_EQ(chosen, expected[c.chosen + 1]);
  }
  fs::remove_all(base);
}
