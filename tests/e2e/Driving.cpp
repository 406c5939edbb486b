#include "Driving.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>

namespace kelpo::e2e {

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() >= end) return done();
    Sleep(20);
  }
  return true;
}

ChildProcess::~ChildProcess() {
  Terminate();
  if (info_.hThread) CloseHandle(info_.hThread);
  if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool ChildProcess::Start(const std::string& exe, const std::string& workDir, std::string& error) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  std::string commandLine = "\"" + exe + "\"";
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &startup,
                      &info_)) {
    error = "CreateProcess(" + exe + ") failed with error " + std::to_string(GetLastError());
    info_ = {};
    return false;
  }
  return true;
}

bool ChildProcess::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD& exitCode) const {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return GetExitCodeProcess(info_.hProcess, &exitCode) != FALSE;
}

void ChildProcess::Terminate() {
  if (!Running()) return;
  TerminateProcess(info_.hProcess, 0xDEAD);
  WaitForSingleObject(info_.hProcess, kWaitMs);
}

namespace {

struct TopLevelQuery {
  DWORD Pid;
  const char* ClassName;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
  auto& query = *reinterpret_cast<TopLevelQuery*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == query.Pid && IsWindowVisible(hwnd) && ClassName(hwnd) == query.ClassName) query.Found.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const char* className) {
  TopLevelQuery query{pid, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&query));
  return query.Found;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  return children;
}

std::string ClassName(HWND hwnd) {
  char name[256] = {};
  GetClassNameA(hwnd, name, sizeof(name));
  return name;
}

RECT RectInParent(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string RectText(const RECT& rect) {
  char text[96];
  std::snprintf(text, sizeof(text), "(%ld,%ld) %ldx%ld", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
  return text;
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* ok) {
  DWORD_PTR result = 0;
  const bool delivered = SendMessageTimeoutA(hwnd, msg, wParam, lParam, SMTO_NORMAL, kWaitMs, &result) != 0;
  if (ok) *ok = delivered;
  return static_cast<LRESULT>(result);
}

LRESULT SendW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* ok) {
  DWORD_PTR result = 0;
  const bool delivered = SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, kWaitMs, &result) != 0;
  if (ok) *ok = delivered;
  return static_cast<LRESULT>(result);
}

bool Settle(HANDLE process, HWND hwnd) {
  // A sent message is handled before the posted ones waiting in the queue, so
  // one round trip proves little; a few, with pauses, let the queue drain.
  // Checks that need a result still wait for it with WaitUntil.
  constexpr int kRounds = 3;
  bool ok = false;
  for (int round = 0; round < kRounds; ++round) {
    Send(hwnd, WM_NULL, 0, 0, &ok);
    if (!ok) return false;
    WaitForInputIdle(process, kWaitMs);
    Sleep(20);
  }
  Send(hwnd, WM_NULL, 0, 0, &ok);
  return ok;
}

std::string WindowText(HWND hwnd) {
  char text[1024] = {};
  const LRESULT length = Send(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  if (length <= 0) return {};
  return std::string(text, static_cast<std::size_t>(length) < sizeof(text) ? length : sizeof(text) - 1);
}

std::vector<std::string> ComboItems(HWND combo) {
  std::vector<std::string> items;
  const LRESULT count = SendW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendW(combo, CB_GETLBTEXTLEN, i, 0);
    if (length < 0 || length > 255) {
      items.push_back("<length " + std::to_string(length) + ">");
      continue;
    }
    wchar_t wide[256] = {};
    SendW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
    char narrow[512] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
    items.push_back(narrow);
  }
  return items;
}

bool PressKey(HWND hwnd, WORD virtualKey) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  bool down = false;
  bool up = false;
  Send(hwnd, WM_KEYDOWN, virtualKey, scan | 1, &down);
  Send(hwnd, WM_KEYUP, virtualKey, scan | 1 | (LPARAM{3} << 30), &up);
  return down && up;
}

HWND FocusOfThread(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

void PostClick(HWND hwnd, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(hwnd, WM_MOUSEMOVE, 0, at);
  PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

void PostButtonDown(HWND hwnd, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(hwnd, WM_MOUSEMOVE, 0, at);
  PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
}

void PostButtonUp(HWND hwnd, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  PostMessageA(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at);
  PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

namespace {

bool SendMouse(POINT at, DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = static_cast<LONG>(at.x * 65535LL / (GetSystemMetrics(SM_CXSCREEN) - 1));
  input.mi.dy = static_cast<LONG>(at.y * 65535LL / (GetSystemMetrics(SM_CYSCREEN) - 1));
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
  return SendInput(1, &input, sizeof(input)) == 1;
}

}  // namespace

bool DragMouse(POINT from, POINT to) {
  constexpr int kSteps = 8;
  bool sent = SendMouse(from, 0);
  Sleep(50);
  sent = SendMouse(from, MOUSEEVENTF_LEFTDOWN) && sent;
  Sleep(50);
  for (int step = 1; step <= kSteps; ++step) {
    const POINT at = {from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps};
    sent = SendMouse(at, 0) && sent;
    Sleep(30);
  }
  sent = SendMouse(to, MOUSEEVENTF_LEFTUP) && sent;
  Sleep(50);
  return sent;
}

RemoteBuffer::RemoteBuffer(HANDLE process, std::size_t size)
    : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}

RemoteBuffer::~RemoteBuffer() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(const void* data, std::size_t size) const {
  SIZE_T written = 0;
  return address_ && WriteProcessMemory(process_, address_, data, size, &written) && written == size;
}

bool RemoteBuffer::Read(void* data, std::size_t size) const {
  SIZE_T read = 0;
  return address_ && ReadProcessMemory(process_, address_, data, size, &read) && read == size;
}

bool PickerTime(HANDLE process, HWND picker, SYSTEMTIME& time) {
  RemoteBuffer buffer(process, sizeof(SYSTEMTIME));
  bool ok = false;
  const LRESULT result = Send(picker, DTM_GETSYSTEMTIME, 0, buffer.Address(), &ok);
  return ok && result == GDT_VALID && buffer.Read(&time, sizeof(time));
}

bool SetPickerTime(HANDLE process, HWND picker, const SYSTEMTIME& time) {
  RemoteBuffer buffer(process, sizeof(SYSTEMTIME));
  if (!buffer.Write(&time, sizeof(time))) return false;
  bool ok = false;
  const LRESULT result = Send(picker, DTM_SETSYSTEMTIME, GDT_VALID, buffer.Address(), &ok);
  return ok && result != 0;
}

std::string TimeText(const SYSTEMTIME& time) {
  char text[32];
  std::snprintf(text, sizeof(text), "%02u:%02u:%02u", time.wHour, time.wMinute, time.wSecond);
  return text;
}

MessageBoxView ViewMessageBox(HWND dialog) {
  MessageBoxView view;
  view.Window = dialog;
  view.Caption = WindowText(dialog);
  // The message text is the static control with id 0xFFFF.
  if (HWND text = GetDlgItem(dialog, 0xFFFF)) view.Text = WindowText(text);
  for (HWND child : ChildWindows(dialog)) {
    if (_stricmp(ClassName(child).c_str(), "Button") != 0 || !IsWindowVisible(child)) continue;
    view.Buttons.push_back(GetDlgCtrlID(child));
  }
  return view;
}

bool AnswerMessageBox(HWND dialog, int buttonId) {
  HWND button = GetDlgItem(dialog, buttonId);
  return button && PostMessageA(button, BM_CLICK, 0, 0);
}

HWND Owner(HWND hwnd) {
  return GetWindow(hwnd, GW_OWNER);
}

HWND FindProcessWindow(DWORD pid, const char* className, const char* title) {
  for (HWND hwnd = FindWindowExA(nullptr, nullptr, className, title); hwnd;
       hwnd = FindWindowExA(nullptr, hwnd, className, title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == pid) return hwnd;
  }
  return nullptr;
}

bool RegistryKeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool CreateRegistryKey(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool SetRegistryString(HKEY root, const std::string& path, const char* name, const std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return false;
  const bool ok = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

bool GetRegistryString(HKEY root, const std::string& path, const char* name, std::string& value) {
  DWORD size = 0;
  if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) return false;
  std::string text(size, '\0');
  if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, text.data(), &size) != ERROR_SUCCESS) return false;
  text.resize(size > 0 ? size - 1 : 0);  // without the terminating zero
  value = text;
  return true;
}

bool DeleteRegistryTree(HKEY root, const std::string& path) {
  RegDeleteTreeA(root, path.c_str());
  return !RegistryKeyExists(root, path);
}

namespace {

void CollectRegistryTree(HKEY key, const std::string& prefix, std::vector<std::string>& entries) {
  for (DWORD index = 0;; ++index) {
    char name[16384] = {};
    DWORD nameLength = sizeof(name);
    DWORD type = 0;
    BYTE data[4096] = {};
    DWORD dataLength = sizeof(data);
    const LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) {
      entries.push_back(prefix + "<value " + std::to_string(index) + ": error " + std::to_string(status) + ">");
      continue;
    }
    std::string text;
    if (type == REG_SZ)
      text.assign(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), dataLength));
    else
      text = "<type " + std::to_string(type) + ", " + std::to_string(dataLength) + " bytes>";
    entries.push_back(prefix + name + "=" + text);
  }
  std::vector<std::string> subkeys;
  for (DWORD index = 0;; ++index) {
    char name[256] = {};
    DWORD nameLength = sizeof(name);
    const LONG status = RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    subkeys.push_back(name);
  }
  for (const std::string& name : subkeys) {
    entries.push_back(prefix + name + "\\");
    HKEY subkey = nullptr;
    if (RegOpenKeyExA(key, name.c_str(), 0, KEY_READ, &subkey) != ERROR_SUCCESS) {
      entries.push_back(prefix + name + "\\<cannot open>");
      continue;
    }
    CollectRegistryTree(subkey, prefix + name + "\\", entries);
    RegCloseKey(subkey);
  }
}

}  // namespace

bool ReadRegistryTree(HKEY root, const std::string& path, std::vector<std::string>& entries) {
  entries.clear();
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  CollectRegistryTree(key, "", entries);
  RegCloseKey(key);
  std::sort(entries.begin(), entries.end());
  return true;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof(chunk), &read, nullptr) != FALSE) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return ok;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(file);
  return ok;
}

std::string MakeTempFolder(const std::string& stem) {
  char temp[MAX_PATH] = {};
  if (!GetTempPathA(sizeof(temp), temp)) return {};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string folder = std::string(temp) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount64() % 100000) + "-" + std::to_string(attempt);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
  }
  return {};
}

bool CopyFolderFiles(const std::string& from, const std::string& to) {
  if (!CreateDirectoryA(to.c_str(), nullptr)) return false;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    ok = CopyFileA((from + "\\" + found.cFileName).c_str(), (to + "\\" + found.cFileName).c_str(), FALSE) && ok;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ok;
}

namespace {

void RemoveFilesIn(const std::string& folder, int depth) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (depth > 0) {
        RemoveFilesIn(path, depth - 1);
        RemoveDirectoryA(path.c_str());
      }
    } else {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(path.c_str());
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

void RemoveFolder(const std::string& folder) {
  if (folder.empty()) return;
  RemoveFilesIn(folder, 2);
  RemoveDirectoryA(folder.c_str());
}

std::string WindowsPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  // Under Wine, kernel32 maps Unix paths to the drive that shows them.
  using UnixToDos = wchar_t* (*)(const char*);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  auto convert = reinterpret_cast<UnixToDos>(
      reinterpret_cast<void (*)()>(kernel ? GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr));
  if (!convert) return path;
  wchar_t* wide = convert(path.c_str());
  if (!wide) return path;
  char narrow[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
  HeapFree(GetProcessHeap(), 0, wide);
  return narrow;
}

RECT ClientToScreenRect(HWND hwnd, const RECT& rect) {
  RECT screen = rect;
  MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&screen), 2);
  return screen;
}

namespace {

// Reads a `width` x `height` bitmap as top-down 32-bit pixels.
bool ReadBitmap(HDC dc, HBITMAP bitmap, int width, int height, Pixels& pixels) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = -height;  // top-down
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  pixels.Width = width;
  pixels.Height = height;
  pixels.Rgb.assign(static_cast<std::size_t>(width) * height, 0);
  const int lines =
      GetDIBits(dc, bitmap, 0, height, pixels.Rgb.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  for (std::uint32_t& pixel : pixels.Rgb) pixel &= 0xFFFFFF;
  return lines == height;
}

}  // namespace

bool CaptureScreen(const RECT& rect, Pixels& pixels) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const bool copied = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != FALSE;
  SelectObject(memory, old);
  const bool read = copied && ReadBitmap(memory, bitmap, width, height, pixels);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return read;
}

int DifferentPixels(const Pixels& a, const Pixels& b) {
  if (a.Width != b.Width || a.Height != b.Height) return std::max(a.Width * a.Height, b.Width * b.Height);
  int count = 0;
  for (std::size_t i = 0; i < a.Rgb.size(); ++i)
    if (a.Rgb[i] != b.Rgb[i]) ++count;
  return count;
}

bool RenderSystemIcon(LPCSTR icon, int width, int height, std::uint32_t background, Pixels& pixels) {
  return RenderIcon(LoadIconA(nullptr, icon), width, height, background, pixels);
}

bool RenderIcon(HICON handle, int width, int height, std::uint32_t background, Pixels& pixels) {
  if (!handle || width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  // COLORREF is 0x00BBGGRR.
  HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
  const RECT all = {0, 0, width, height};
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  const bool drawn = DrawIconEx(memory, 0, 0, handle, width, height, 0, nullptr, DI_NORMAL) != FALSE;
  SelectObject(memory, old);
  const bool read = drawn && ReadBitmap(memory, bitmap, width, height, pixels);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return read;
}

bool RenderText(const std::string& text, const char* fontName, int fontHeight, std::uint32_t background, Pixels& pixels,
                std::uint32_t textColour) {
  // As the program draws a label: a 32-bit DIB section in a memory DC, the font made
  // with the same arguments, the text over a filled background.
  HDC memory = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, fontName);
  HGDIOBJ oldFont = SelectObject(memory, font);
  SIZE extent{};
  GetTextExtentPoint32A(memory, text.data(), static_cast<int>(text.size()), &extent);
  bool read = false;
  if (font && extent.cx > 0 && extent.cy > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = extent.cx;
    info.bmiHeader.biHeight = -extent.cy;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
      HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
      HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
      const RECT all = {0, 0, extent.cx, extent.cy};
      FillRect(memory, &all, brush);
      DeleteObject(brush);
      SetBkMode(memory, TRANSPARENT);
      SetTextColor(memory, RGB((textColour >> 16) & 0xFF, (textColour >> 8) & 0xFF, textColour & 0xFF));
      ExtTextOutA(memory, 0, 0, ETO_CLIPPED, &all, text.data(), static_cast<UINT>(text.size()), nullptr);
      GdiFlush();
      pixels.Width = extent.cx;
      pixels.Height = extent.cy;
      const auto* rgb = static_cast<const std::uint32_t*>(bits);
      pixels.Rgb.assign(rgb, rgb + static_cast<std::size_t>(extent.cx) * extent.cy);
      for (std::uint32_t& pixel : pixels.Rgb) pixel &= 0x00FFFFFF;
      SelectObject(memory, oldBitmap);
      DeleteObject(bitmap);
      read = true;
    }
  }
  SelectObject(memory, oldFont);
  if (font) DeleteObject(font);
  DeleteDC(memory);
  return read;
}

bool SaveScreenshot(HWND hwnd, const std::string& path, ScreenshotStats& stats, std::string& error) {
  RECT rect{};
  if (!GetWindowRect(hwnd, &rect)) {
    error = "GetWindowRect failed";
    return false;
  }
  return SaveScreenArea(rect, path, stats, error);
}

bool SaveScreenArea(const RECT& rect, const std::string& path, ScreenshotStats& stats, std::string& error) {
  Pixels pixels;
  if (!CaptureScreen(rect, pixels)) {
    error = "cannot copy the rectangle " + RectText(rect) + " from the screen";
    return false;
  }
  const int width = pixels.Width;
  const int height = pixels.Height;

  // A 24-bit bottom-up DIB: rows padded to a multiple of four bytes.
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::string rows(static_cast<std::size_t>(stride) * height, '\0');
  for (int y = 0; y < height; ++y) {
    char* row = rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = pixels.Rgb[static_cast<std::size_t>(y) * width + x];
      row[x * 3] = static_cast<char>(pixel & 0xFF);
      row[x * 3 + 1] = static_cast<char>((pixel >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((pixel >> 16) & 0xFF);
    }
  }

  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rows.size());
  header.biSizeImage = static_cast<DWORD>(rows.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
  bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
  bytes += rows;
  if (!WriteFileBytes(path, bytes)) {
    error = "cannot write " + path;
    return false;
  }

  std::set<std::uint32_t> colours;
  for (std::size_t i = 0; i < pixels.Rgb.size() && colours.size() < 1024; ++i) colours.insert(pixels.Rgb[i]);
  stats.Width = width;
  stats.Height = height;
  stats.Colours = static_cast<int>(colours.size());
  return true;
}

bool ReadBmpFile(const std::string& path, Pixels& pixels) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes) || bytes.size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  std::memcpy(&file, bytes.data(), sizeof(file));
  std::memcpy(&header, bytes.data() + sizeof(file), sizeof(header));
  if (file.bfType != 0x4D42 || header.biBitCount != 24 || header.biCompression != BI_RGB || header.biWidth <= 0 ||
      header.biHeight == 0)
    return false;
  const int width = header.biWidth;
  const int height = std::abs(header.biHeight);
  const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  if (file.bfOffBits + stride * height > bytes.size()) return false;
  pixels.Width = width;
  pixels.Height = height;
  pixels.Rgb.assign(static_cast<std::size_t>(width) * height, 0);
  for (int y = 0; y < height; ++y) {
    const int stored = header.biHeight > 0 ? height - 1 - y : y;  // bottom-up unless the height is negative
    const auto* row = reinterpret_cast<const unsigned char*>(bytes.data()) + file.bfOffBits + stride * stored;
    for (int x = 0; x < width; ++x)
      pixels.Rgb[static_cast<std::size_t>(y) * width + x] = row[x * 3] | (row[x * 3 + 1] << 8) | (row[x * 3 + 2] << 16);
  }
  return true;
}

Pixels Crop(const Pixels& pixels, int left, int top, int width, int height) {
  Pixels part;
  part.Width = std::max(0, std::min(width, pixels.Width - left));
  part.Height = std::max(0, std::min(height, pixels.Height - top));
  for (int y = 0; y < part.Height; ++y)
    for (int x = 0; x < part.Width; ++x)
      part.Rgb.push_back(pixels.Rgb[static_cast<std::size_t>(top + y) * pixels.Width + left + x]);
  return part;
}

bool SetClipboardText(const std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  bool placed = false;
  if (EmptyClipboard()) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (memory) {
      std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      placed = SetClipboardData(CF_TEXT, memory) != nullptr;
      if (!placed) GlobalFree(memory);
    }
  }
  CloseClipboard();
  return placed;
}

bool ClipboardText(std::string& text) {
  if (!OpenClipboard(nullptr)) return false;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* locked = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (locked) {
    text = locked;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return locked != nullptr;
}

SYSTEMTIME LocalToday() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  SYSTEMTIME date{};
  date.wYear = now.wYear;
  date.wMonth = now.wMonth;
  date.wDay = now.wDay;
  date.wDayOfWeek = now.wDayOfWeek;
  return date;
}

SYSTEMTIME AddDays(const SYSTEMTIME& date, int days) {
  FILETIME file{};
  SystemTimeToFileTime(&date, &file);
  ULARGE_INTEGER ticks{};
  ticks.LowPart = file.dwLowDateTime;
  ticks.HighPart = file.dwHighDateTime;
  constexpr long long kTicksPerDay = 24LL * 60 * 60 * 10000000;
  ticks.QuadPart += static_cast<ULONGLONG>(static_cast<long long>(days) * kTicksPerDay);
  file.dwLowDateTime = ticks.LowPart;
  file.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME result{};
  FileTimeToSystemTime(&file, &result);
  return result;
}

}  // namespace kelpo::e2e
