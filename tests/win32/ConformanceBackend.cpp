#include "tests/conformance/ConformanceBackend.h"

#include <stdexcept>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32InternetCache.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32ProfileFiles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32VersionInfo.h"
#include "tests/win32/StandinCache.h"

namespace kelpo {

std::unique_ptr<ProfileFiles> MakeProfileFilesUnderTest() {
  return std::make_unique<Win32ProfileFiles>();
}

namespace {

class Win32RegistryUnderTest : public RegistryUnderTest {
 public:
  Registry& Service() override { return registry_; }
  void CreateKey(const std::string& path) override {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      throw std::runtime_error("cannot create the key " + path);
    RegCloseKey(key);
  }
  void SetValue(const std::string& path, const std::string& name, const std::string& data) override {
    CreateKey(path);
    if (RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), REG_SZ, data.c_str(),
                        static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
      throw std::runtime_error("cannot set the value " + name);
  }
  bool KeyExists(const std::string& path) override {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  bool ValueExists(const std::string& path, const std::string& name) override {
    return RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
  }

 private:
  Win32Registry registry_;
};

}  // namespace

std::unique_ptr<RegistryUnderTest> MakeRegistryUnderTest() {
  return std::make_unique<Win32RegistryUnderTest>();
}

std::unique_ptr<InternetCache> MakeInternetCacheUnderTest(const std::vector<PlantedCacheEntry>& entries) {
  standin::Table table;
  for (const PlantedCacheEntry& planted : entries)
    table.Entries.push_back(StandinEntry(planted.Record, planted.Growth));
  PlantInStandin(table);
  return std::make_unique<Win32InternetCache>();
}

// The test program itself carries that version resource (tests/win32/Win32Tests.rc).
VersionInfoUnderTest MakeVersionInfoUnderTest() {
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("cannot find the test program's path");
  return VersionInfoUnderTest{std::make_unique<Win32VersionInfo>(), std::string(path, length)};
}

namespace {

// Chooses an item of the open popup menu with the keyboard, from a thread
// timer that the menu's modal loop dispatches: Down once for each selectable
// item up to the wanted one, then Return. Gives up with Escape after a while.
class MenuDriver {
 public:
  static void Start(int position, std::function<bool()> ready) {
    MenuDriver& driver = Instance();
    driver.position_ = position;
    driver.ready_ = std::move(ready);
    driver.waited_ = 0;
    SetTimer(nullptr, 0, 20, &MenuDriver::Tick);
  }

 private:
  static MenuDriver& Instance() {
    static MenuDriver driver;
    return driver;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    MenuDriver& driver = Instance();
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) return;
    if (!driver.ready_() && ++driver.waited_ < 250) return;
    KillTimer(nullptr, timer);
    if (!driver.ready_()) {
      PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
      return;
    }
    constexpr UINT MenuGetHandle = 0x01E1;  // MN_GETHMENU
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MenuGetHandle, 0, 0));
    int downs = 0;
    for (int i = 0; i <= driver.position_; ++i) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_FTYPE;
      if (GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info) && !(info.fType & MFT_SEPARATOR)) ++downs;
    }
    for (int i = 0; i < downs; ++i) PostMessageA(menuWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menuWindow, WM_KEYDOWN, VK_RETURN, 0);
  }

  int position_ = 0;
  std::function<bool()> ready_;
  int waited_ = 0;
};

class Win32PlatformUnderTest : public PlatformUnderTest {
 public:
  Platform& Services() override { return platform_.Services(); }

  bool RunUntil(const std::function<bool()>& done) override {
    for (int round = 0; round < 250 && !done(); ++round) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
      platform_.Services().windowing.ProcessMessages();
    }
    return done();
  }

  void ChooseNextMenuItem(int position, std::function<bool()> ready) override {
    MenuDriver::Start(position, std::move(ready));
  }

 private:
  Win32Platform platform_;
};

}  // namespace

std::unique_ptr<PlatformUnderTest> MakePlatformUnderTest() {
  return std::make_unique<Win32PlatformUnderTest>();
}

std::string MakeTempFolder() {
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) throw std::runtime_error("no temporary folder");
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string folder = std::string(temp) + "kelpo-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount64()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder + "\\";
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot create a temporary folder");
}

}  // namespace kelpo
