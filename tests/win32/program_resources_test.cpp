// What the built shooter.exe says about itself, read from the file as Windows
// reads it: the version information in its properties, and the manifest that
// brings the common controls 6 (the system's look of its message boxes). This
// program links no resources of its own, so what it finds is the game's.
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {
const char* const kExe = SHOOTER_EXE;

// Where comctl32.dll comes from under this thread's activation context, in
// lower case: the system folder's (version 5), or the side-by-side assembly
// Microsoft.Windows.Common-Controls 6.0 that a manifest binds to. (Wine's
// copy of the latter still reports 5.81 from DllGetVersion, so the folder is
// what tells them apart on both systems.)
std::string commonControlsPath() {
  HMODULE comctl = LoadLibraryA("comctl32.dll");
  if (comctl == nullptr) return "";
  char path[MAX_PATH] = {};
  GetModuleFileNameA(comctl, path, MAX_PATH);
  FreeLibrary(comctl);
  std::string lower(path);
  for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool isCommonControls6(const std::string& path) {
  return path.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0.") != std::string::npos;
}
}  // namespace

TEST(ProgramResources, VersionInformationCarriesTheProjectVersion) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(kExe, &ignored);
  ASSERT_GT(size, 0u) << kExe << " has no version information";
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA(kExe, 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), unsigned(SHOOTER_VERSION_MAJOR));
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), unsigned(SHOOTER_VERSION_MINOR));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));

  // What Explorer's Details tab shows, in US English, Unicode.
  const struct {
    const char* name;
    const char* expected;  // nullptr: any non-empty text
  } kStrings[] = {
      {"ProductName", "shooter"},          {"FileVersion", SHOOTER_VERSION},
      {"ProductVersion", SHOOTER_VERSION}, {"FileDescription", nullptr},
      {"LegalCopyright", nullptr},         {"OriginalFilename", "shooter.exe"},
  };
  for (const auto& s : kStrings) {
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + s.name;
    char* value = nullptr;
    UINT chars = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &chars))
        << s.name;
    if (s.expected != nullptr) {
      EXPECT_STREQ(value, s.expected) << s.name;
    } else {
      EXPECT_GT(std::string(value).size(), 0u) << s.name;
    }
  }
}

TEST(ProgramResources, ManifestBringsTheCommonControls6) {
  const std::string before = commonControlsPath();
  ASSERT_FALSE(before.empty());
  EXPECT_FALSE(isCommonControls6(before)) << "this program itself should have no manifest";

  // The game's manifest (RT_MANIFEST 1) as Windows takes it at the game's start.
  ACTCTXA context = {};
  context.cbSize = sizeof context;
  context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  context.lpSource = kExe;
  context.lpResourceName = MAKEINTRESOURCEA(1);
  const HANDLE handle = CreateActCtxA(&context);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "no readable manifest in " << kExe;
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(ActivateActCtx(handle, &cookie));
  const std::string bound = commonControlsPath();
  EXPECT_TRUE(isCommonControls6(bound)) << bound;
  // Per-monitor DPI awareness, as Windows reads it from the manifest (newer
  // systems the v2 setting, older ones the first).
  const struct {
    const wchar_t* space;
    const wchar_t* name;
    const wchar_t* value;
  } kDpiSettings[] = {
      {L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness",
       L"PerMonitorV2, PerMonitor"},
      {L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware", L"true/pm"}};
  for (const auto& setting : kDpiSettings) {
    wchar_t value[64] = {};
    SIZE_T written = 0;
    EXPECT_TRUE(QueryActCtxSettingsW(0, handle, setting.space, setting.name, value,
                                     sizeof value / sizeof value[0], &written))
        << GetLastError();
    EXPECT_STREQ(value, setting.value);
  }
  DeactivateActCtx(0, cookie);
  ReleaseActCtx(handle);
}
