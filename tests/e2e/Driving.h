#pragma once
// Driving another process's windows: starting it, finding its windows and
// controls, reading and changing them through window messages, answering its
// message boxes, and files and screenshots.
//
// Messages that would open modal UI in the target are posted, never sent: a
// SendMessage into a modal loop would block the driver until the loop ends.
// Every message that is sent goes through SendMessageTimeout, so that a hung
// target fails a check instead of hanging the driver.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelpo::e2e {

// Generous upper bound for anything the target must do in answer to the driver.
constexpr DWORD kWaitMs = 15000;

// Polls `done` every 20 ms until it holds or `timeoutMs` have passed; returns done().
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// A process started by the driver. The destructor ends it if it still runs.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Starts `exe` with the working folder `workDir`; on failure `error` says why.
  bool Start(const std::string& exe, const std::string& workDir, std::string& error);
  bool Running() const;
  // Waits up to `timeoutMs` for the process to end; true with its exit code if it did.
  bool WaitForExit(DWORD timeoutMs, DWORD& exitCode) const;
  // Ends the process if it still runs (for clean-up after a failed check).
  void Terminate();

  HANDLE Handle() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// The visible top-level windows of process `pid` with the class `className`.
std::vector<HWND> TopLevelWindows(DWORD pid, const char* className);
// The direct child windows of `parent`, in Z order.
std::vector<HWND> ChildWindows(HWND parent);

std::string ClassName(HWND hwnd);
// The window's rectangle in the client coordinates of its parent.
RECT RectInParent(HWND hwnd);
std::string RectText(const RECT& rect);

// SendMessageTimeoutA with kWaitMs; `ok` (if given) tells whether it was delivered.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* ok = nullptr);
LRESULT SendW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* ok = nullptr);
// Waits until `hwnd`'s thread is back in a message loop with nothing left to do:
// a sent WM_NULL is answered only when the thread looks at its queue again, and
// the process is then waited for to become idle.
bool Settle(HANDLE process, HWND hwnd);

// The window's text through WM_GETTEXT (which is marshalled between processes).
std::string WindowText(HWND hwnd);
// The items of a combo box. CB_GETLBTEXT is asked for in UTF-16, the form that
// also arrives intact from another process.
std::vector<std::string> ComboItems(HWND combo);

// A key press (down and up) sent to a control of another process.
bool PressKey(HWND hwnd, WORD virtualKey);
// A left click posted at `x`, `y` of `hwnd`'s client area (button down, then up).
void PostClick(HWND hwnd, int x, int y);
// The window that has the keyboard focus in thread `threadId`, or null.
HWND FocusOfThread(DWORD threadId);
// A left button press and, separately, its release, posted at client points of `hwnd`.
void PostButtonDown(HWND hwnd, int x, int y);
void PostButtonUp(HWND hwnd, int x, int y);
// A real left-button drag between two screen points (SendInput): press, a few
// moves, release. The window under the start must be unobscured.
bool DragMouse(POINT from, POINT to);

// Memory in another process, for messages whose pointers are not marshalled.
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, std::size_t size);
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  ~RemoteBuffer();

  bool Valid() const { return address_ != nullptr; }
  LPARAM Address() const { return reinterpret_cast<LPARAM>(address_); }
  bool Write(const void* data, std::size_t size) const;
  bool Read(void* data, std::size_t size) const;

 private:
  HANDLE process_;
  void* address_ = nullptr;
};

// The date and time picker's value (DTM_GETSYSTEMTIME); false when it has none.
bool PickerTime(HANDLE process, HWND picker, SYSTEMTIME& time);
// Sets the picker's value (DTM_SETSYSTEMTIME, which sends no notification).
bool SetPickerTime(HANDLE process, HWND picker, const SYSTEMTIME& time);
std::string TimeText(const SYSTEMTIME& time);  // "hh:mm:ss", 24-hour clock

// A message box (dialog class "#32770") of another process.
struct MessageBoxView {
  HWND Window = nullptr;
  std::string Caption;
  std::string Text;
  std::vector<int> Buttons;  // control ids of its push buttons, in Z order
};
MessageBoxView ViewMessageBox(HWND dialog);
// Answers a message box through its button with id `buttonId` (posted BM_CLICK).
bool AnswerMessageBox(HWND dialog, int buttonId);

// The window that owns `hwnd` (GW_OWNER), or null.
HWND Owner(HWND hwnd);
// The top-level window of process `pid` with this class and title, shown or hidden.
HWND FindProcessWindow(DWORD pid, const char* className, const char* title);

// Registry keys by path below `root`.
bool RegistryKeyExists(HKEY root, const std::string& path);
// Creates the key and any missing parents; true when it exists afterwards.
bool CreateRegistryKey(HKEY root, const std::string& path);
bool SetRegistryString(HKEY root, const std::string& path, const char* name, const std::string& value);
// A string value ("" names the key's default value); false when there is none.
bool GetRegistryString(HKEY root, const std::string& path, const char* name, std::string& value);
// Deletes the key with its whole subtree (RegDeleteTreeA); true when it is gone afterwards.
bool DeleteRegistryTree(HKEY root, const std::string& path);
// The key's subtree as sorted entries relative to it: "A\B\" for a subkey and
// "A\B\name=data" for a value ("name=data" for a value of the key itself), with
// REG_SZ data as text and other data as "<type T, N bytes>". False when the key
// cannot be opened.
bool ReadRegistryTree(HKEY root, const std::string& path, std::vector<std::string>& entries);

// Files, by Windows path.
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
bool ReadFileBytes(const std::string& path, std::string& bytes);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

// A folder of its own under the temporary folder; empty on failure.
std::string MakeTempFolder(const std::string& stem);
// Copies the files (not the subfolders) of folder `from` into the new folder `to`.
bool CopyFolderFiles(const std::string& from, const std::string& to);
// Deletes the folder with its files and subfolders, two levels deep.
void RemoveFolder(const std::string& folder);

// A Unix path ("/home/x/kelpo.exe", as a Linux build system passes it) as a Windows path;
// other paths are returned unchanged.
std::string WindowsPath(const std::string& path);

// Pixels as 0x00RRGGBB, row by row from the top.
struct Pixels {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint32_t> Rgb;
};
// `rect` in the client coordinates of `hwnd`, as screen coordinates.
RECT ClientToScreenRect(HWND hwnd, const RECT& rect);
// Copies a rectangle of the screen (screen coordinates) from the screen DC.
bool CaptureScreen(const RECT& rect, Pixels& pixels);
// The number of pixels in which `a` and `b` differ; every pixel when their sizes differ.
int DifferentPixels(const Pixels& a, const Pixels& b);
// An icon drawn at (0,0) by DrawIconEx, stretched to `width` x `height`, over a
// background of `background` (0x00RRGGBB).
bool RenderIcon(HICON icon, int width, int height, std::uint32_t background, Pixels& pixels);
// The same for a system icon (IDI_*).
bool RenderSystemIcon(LPCSTR icon, int width, int height, std::uint32_t background, Pixels& pixels);

// One line of text drawn at (0,0) by ExtTextOutA in `textColour` (0x00RRGGBB, black by
// default), in a font made by CreateFontA with `fontName` and `fontHeight` (normal
// weight), over a background of `background` (0x00RRGGBB); the picture is exactly as
// large as the text's extent.
bool RenderText(const std::string& text, const char* fontName, int fontHeight, std::uint32_t background, Pixels& pixels,
                std::uint32_t textColour = 0);

// What a screenshot looked like, for plausibility checks.
struct ScreenshotStats {
  int Width = 0;
  int Height = 0;
  int Colours = 0;  // distinct colours, counted up to 1024
};
// Copies `hwnd`'s screen rectangle from the screen DC and saves it as a 24-bit BMP.
bool SaveScreenshot(HWND hwnd, const std::string& path, ScreenshotStats& stats, std::string& error);
// The same for a rectangle of the screen.
bool SaveScreenArea(const RECT& rect, const std::string& path, ScreenshotStats& stats, std::string& error);
// The pixels of an uncompressed 24-bit BMP file (the form the artwork is stored in).
bool ReadBmpFile(const std::string& path, Pixels& pixels);
// The `width` x `height` part of `pixels` at `left`, `top` (clipped to it).
Pixels Crop(const Pixels& pixels, int left, int top, int width, int height);

// The clipboard's text (CF_TEXT), and putting text there as another program does.
bool SetClipboardText(const std::string& text);
bool ClipboardText(std::string& text);

// Today and yesterday by the local clock.
SYSTEMTIME LocalToday();
SYSTEMTIME AddDays(const SYSTEMTIME& date, int days);

}  // namespace kelpo::e2e
