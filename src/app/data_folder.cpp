// Finding the data folder, and keeping the options' file names in the folder
// the player started the game from.
#include "app/data_folder.h"

#include <cstdio>
#include <cstring>

#include "app/command_line.h"
#include "app/recording.h"
#include "data_files.h"

namespace {
constexpr size_t kPathSize = 4096;

const char* const kDataFiles[] = {kModelFile, kSkinFile, kFontFile,  kWallsFile,     kCrosshairFile,
                                  kSmokeFile, kExitFile, kFloorFile, kRifleSoundFile};
}  // namespace

bool isAbsolutePath(const char* path) {
#ifdef _WIN32
  // "C:\..." or "C:/...", and "\\server\share" or a path from the drive's root.
  const bool drive =
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':';
  return drive || path[0] == '\\' || path[0] == '/';
#else
  return path[0] == '/';
#endif
}

bool pathFromFolder(const char* folder, const char* path, char* out, size_t size) {
  if (size == 0) return false;
  const bool absolute = isAbsolutePath(path) || folder[0] == '\0';
  const size_t folderLength = std::strlen(folder);
  const bool slash =
      folderLength > 0 && (folder[folderLength - 1] == '/' || folder[folderLength - 1] == '\\');
  const int written = absolute ? std::snprintf(out, size, "%s", path)
                               : std::snprintf(out, size, "%s%s%s", folder, slash ? "" : "/", path);
  if (written < 0 || static_cast<size_t>(written) >= size) {
    out[0] = '\0';
    return false;
  }
  return true;
}

bool holdsGameData(const char* folder) {
  char path[kPathSize];
  for (const char* name : kDataFiles) {
    if (!pathFromFolder(folder, name, path, sizeof path)) continue;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) continue;
    std::fclose(file);
    return true;
  }
  return false;
}

bool findDataFolder(const char* working, const char* program, char* out, size_t size) {
  char installed[kPathSize] = "";
#ifdef SHOOTER_INSTALLED_DATA_FROM_PROGRAM
  if (program[0] != '\0') {
    pathFromFolder(program, SHOOTER_INSTALLED_DATA_FROM_PROGRAM, installed, sizeof installed);
  }
#endif
  const char* const candidates[] = {working, program, installed};
  for (const char* folder : candidates) {
    if (folder[0] != '\0' && holdsGameData(folder)) {
      return pathFromFolder("", folder, out, size);
    }
  }
  if (size > 0) out[0] = '\0';
  return false;
}

void enterDataFolder(GameOptions* options) {
  static char working[kPathSize];
  static char program[kPathSize];
  static char data[kPathSize];
  static char names[3][kPathSize];
  if (!workingFolder(working, sizeof working)) return;
  if (!programFolder(program, sizeof program)) program[0] = '\0';
  if (!findDataFolder(working, program, data, sizeof data) || std::strcmp(data, working) == 0) {
    return;
  }
  const char** files[] = {&options->record, &options->play, &options->trace};
  for (size_t i = 0; i < 3; ++i) {
    if (*files[i] != nullptr && !pathFromFolder(working, *files[i], names[i], kPathSize)) return;
  }
  if (!changeFolder(data)) return;
  for (size_t i = 0; i < 3; ++i) {
    if (*files[i] != nullptr) *files[i] = names[i];
  }
  chooseRecordedGame(options->record, options->play, options->trace);
}
