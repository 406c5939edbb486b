#include "tests/conformance/ConformanceBackend.h"

#include <stdexcept>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32InternetCache.h"
#include "platform/win32/Win32NotifyIcons.h"
#include "platform/win32/Win32ProfileFiles.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Windowing.h"

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

std::unique_ptr<InternetCache> MakeInternetCacheUnderTest() {
  return std::make_unique<Win32InternetCache>();
}

namespace {

class Win32NotifyIconsUnderTest : public NotifyIconsUnderTest, private WindowProcedure {
 public:
  Win32NotifyIconsUnderTest() {
    WindowParams params;
    params.ClassName = "TKelpoConformanceTray";
    window_ = windowing_.CreateWindow(params, this);
  }
  ~Win32NotifyIconsUnderTest() override { windowing_.DestroyWindow(window_); }
  NotifyIcons& Service() override { return icons_; }
  WindowHandle Window() override { return window_; }

 private:
  bool WindowProc(Message&) override { return false; }
  void PaintWindow(Surface&) override {}

  Win32Graphics graphics_;
  Win32Windowing windowing_{graphics_};
  Win32NotifyIcons icons_;
  WindowHandle window_ = 0;
};

}  // namespace

std::unique_ptr<NotifyIconsUnderTest> MakeNotifyIconsUnderTest() {
  return std::make_unique<Win32NotifyIconsUnderTest>();
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
