// End-to-end driver for kelpo.exe: starts the program from fresh folders, drives
// its schedule editor and image buttons through the real controls, answers its
// message boxes, checks settings.ini, the typed-address registry key that a wash
// deletes, the screen and the exit codes, and saves screenshots.
//
//   kelpo_e2e KELPO_EXE SCENARIO [OUTPUT_FOLDER]   runs one scenario
//   kelpo_e2e KELPO_EXE preflight                  checks what every scenario needs
//   kelpo_e2e --list                               names the scenarios
//
// Prints "PASS name" or "FAIL name: detail" per check and "N passed, N failed" at
// the end; the exit code is 0 only when every check passed. Screenshots (24-bit
// BMP) go to OUTPUT_FOLDER, by default the current folder: e2e-main.bmp from the
// scenario "weekly", e2e-sentence-UNIT.bmp from "sentences", e2e-tray-menu.bmp
// from "tray", e2e-links-menu.bmp from "links", e2e-about.bmp from "about",
// e2e-already-started.bmp from "second-copy".
//
//   kelpo_e2e --record-url FILE ADDRESS            appends ADDRESS and the show command it
//                                                  was started with to FILE: the handler of
//                                                  the https scheme that "links" and "about"
//                                                  register

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "Checks.h"
#include "Driving.h"
#include "ProcessCounts.h"
#include "tests/win32/cache-standin/CacheTable.h"
#include "ui/WebAddresses.h"
// windows.h first (Driving.h)
#include <tlhelp32.h>

namespace kelpo::e2e {
namespace {

const std::vector<std::string> kUnits = {"minutes", "hours", "days", "weeks", "months"};
const std::vector<std::string> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
constexpr int kWeeks = 3;
constexpr int kFriday = 5;

// Client coordinates of the image buttons: the apply button lies in the body
// panel at (80,53) 155x25, the wash-now button at (237,52) 80x25, the start
// button at (20,51) 58x25 and the stop button in its place at (19,51) 57x25; the
// close button lies in the title-button panel.
constexpr POINT kApplyButton = {150, 65};
constexpr POINT kWashButton = {270, 64};
constexpr POINT kStartStopButton = {40, 63};
constexpr POINT kCloseButton = {30, 10};
// Areas of the body panel that the program paints without a window of their own:
// the start and stop buttons together, and the status line at (359,195) 98x13.
constexpr RECT kStartStopArea = {19, 51, 78, 76};
constexpr RECT kStatusLine = {359, 195, 457, 208};

// The registry key under HKEY_CURRENT_USER that holds the addresses typed into
// Internet Explorer, which a wash deletes with its subtree, and a sibling that
// Internet Explorer keeps beside it, which a wash leaves alone.
const std::string kInternetExplorerKey = "Software\\Microsoft\\Internet Explorer";
const std::string kTypedUrlsKey = kInternetExplorerKey + "\\TypedURLs";
const std::string kTypedUrlsTimeKey = kInternetExplorerKey + "\\TypedURLsTime";
// What the scenarios put into them, as ReadRegistryTree lists it.
const std::vector<std::string> kTypedUrlsTree = {"A\\",
                                                 "A\\B\\",
                                                 "A\\B\\C\\",
                                                 "A\\B\\C\\deep=c",
                                                 "Z\\",
                                                 "url1=http://kelpo.example/one",
                                                 "url2=http://kelpo.example/two"};
const std::vector<std::string> kTypedUrlsTimeTree = {"url1=kept"};

std::string Join(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : "|") + item;
  return text;
}

std::string DateText(const SYSTEMTIME& date) {
  char text[32];
  std::snprintf(text, sizeof(text), "%u/%u/%u", date.wMonth, date.wDay, date.wYear);
  return text;
}

bool IsClass(HWND hwnd, const char* name) {
  return _stricmp(ClassName(hwnd).c_str(), name) == 0;
}

bool At(HWND hwnd, int x, int y) {
  const RECT rect = RectInParent(hwnd);
  return rect.left == x && rect.top == y;
}

// A scenario's folders: kelpo.exe is copied into <root>\app and started with
// <root>\work as its current folder, so a file written beside the current folder
// instead of beside the executable shows up in the wrong place.
struct Folders {
  Folders() = default;
  Folders(const Folders&) = delete;
  Folders& operator=(const Folders&) = delete;
  // Declared before the Kelpo instances that use it, so kelpo.exe has ended by then.
  ~Folders() { RemoveFolder(Root); }

  std::string Root;
  std::string App;
  std::string Work;
  std::string Exe() const { return App + "\\kelpo.exe"; }
  std::string Settings() const { return App + "\\settings.ini"; }
  std::string StraySettings() const { return Work + "\\settings.ini"; }
};

// The button pictures in the folder "images" beside kelpo.exe are copied along
// when the build put them there, as an installation has them.
bool MakeFolders(Checks& checks, const std::string& kelpoExe, Folders& folders) {
  folders.Root = MakeTempFolder("kelpo-e2e");
  folders.App = folders.Root + "\\app";
  folders.Work = folders.Root + "\\work";
  const std::string images = kelpoExe.substr(0, kelpoExe.find_last_of("\\/") + 1) + "images";
  const bool ok = !folders.Root.empty() && CreateDirectoryA(folders.App.c_str(), nullptr) &&
                  CreateDirectoryA(folders.Work.c_str(), nullptr) &&
                  CopyFileA(kelpoExe.c_str(), folders.Exe().c_str(), FALSE) &&
                  (!FolderExists(images) || CopyFolderFiles(images, folders.App + "\\images"));
  return checks.Check(ok, "prepare-folder",
                      "cannot copy " + kelpoExe + " and its images into a temporary folder (error " +
                          std::to_string(GetLastError()) + ")");
}

// The windows of a running kelpo.exe that the scenarios use.
struct KelpoWindows {
  HWND Main = nullptr;
  HWND TitleButtons = nullptr;  // panel with the minimise and close images
  HWND Body = nullptr;          // panel with the schedule editor
  HWND Count = nullptr;         // EDIT of the count
  HWND CountSpin = nullptr;     // its up-down buddy
  HWND Unit = nullptr;          // unit drop-down
  HWND Picker = nullptr;        // time picker
  HWND Weekday = nullptr;       // weekday drop-down
};

class Kelpo {
 public:
  Kelpo(Checks& checks, const Folders& folders) : checks_(checks), folders_(folders) {}

  // Starts kelpo.exe and finds its windows; false (after a failed check) when the
  // scenario cannot go on.
  bool Start(bool checkLayout);
  // Closes the main window by WM_CLOSE or by its close image, which hides it
  // into the tray while the program runs on; then ends the program as the end
  // of the logon does (WM_QUERYENDSESSION answered 1, then a close request)
  // and checks that it ends with exit code 0.
  void CloseByMessage() { Close(false); }
  void CloseByImage() { Close(true); }
  // Only the first half: closes the window into the tray and checks that it
  // and its taskbar button hide while the program runs on. `name` is the check's.
  bool HideIntoTray(bool byImage, const std::string& name);
  // Ends the program as the end of the logon does and checks its exit code.
  void EndAsLogonEnds();

  const KelpoWindows& Windows() const { return windows_; }
  HANDLE ProcessHandle() const { return process_.Handle(); }
  ChildProcess& Process() { return process_; }
  bool Running() const { return process_.Running(); }
  // The hidden application window (class "TApplication", titled "Kelpo").
  HWND ApplicationWindow() const { return FindProcessWindow(process_.Id(), "TApplication", "Kelpo"); }
  // The about box (class "TAboutDialog", titled "About Kelpo"), shown or hidden.
  HWND AboutBox() const { return FindProcessWindow(process_.Id(), "TAboutDialog", "About Kelpo"); }
  DWORD ProcessId() const { return process_.Id(); }

  // The message boxes that kelpo.exe shows right now.
  std::vector<HWND> MessageBoxes() const { return TopLevelWindows(process_.Id(), "#32770"); }
  // Waits for a message box other than `except` to appear.
  HWND WaitForMessageBox(HWND except = nullptr) const;

 private:
  bool FindMainWindow();
  // Finds the panels and the editor's controls; true when all are there.
  bool Scan(std::vector<HWND>& panels, std::size_t& comboCount);
  bool FindControls(bool checkLayout);
  void Close(bool byImage);

  Checks& checks_;
  const Folders& folders_;
  ChildProcess process_;
  KelpoWindows windows_;
};

bool Kelpo::Start(bool checkLayout) {
  std::string error;
  if (!checks_.Check(process_.Start(folders_.Exe(), folders_.Work, error), "start", error)) return false;
  WaitForInputIdle(process_.Handle(), kWaitMs);
  return FindMainWindow() && FindControls(checkLayout);
}

bool Kelpo::FindMainWindow() {
  HWND found = nullptr;
  WaitUntil([&] {
    if (!process_.Running()) return true;
    HWND hwnd = FindWindowA("TMainForm", "Kelpo");
    DWORD pid = 0;
    if (hwnd) GetWindowThreadProcessId(hwnd, &pid);
    if (hwnd && pid == process_.Id()) found = hwnd;
    return found != nullptr;
  });
  if (!found) {
    DWORD code = 0;
    const std::string detail = process_.WaitForExit(0, code)
                                   ? "kelpo.exe ended with exit code " + std::to_string(code) + " before it showed one"
                                   : "no window of class TMainForm titled \"Kelpo\" after 15 s";
    checks_.Fail("main-window-found", detail);
    return false;
  }
  checks_.Check(true, "main-window-found");
  windows_.Main = found;
  return true;
}

bool Kelpo::Scan(std::vector<HWND>& panels, std::size_t& comboCount) {
  KelpoWindows found;
  found.Main = windows_.Main;
  panels.clear();
  for (HWND child : ChildWindows(found.Main))
    if (ClassName(child) == "TPanel") panels.push_back(child);
  for (HWND panel : panels) {
    const RECT rect = RectInParent(panel);
    if (rect.left == 0 && rect.top == 23) found.Body = panel;
    if (rect.left == 433) found.TitleButtons = panel;
  }
  // Without the panels at their places, fall back to their order.
  if (!found.TitleButtons && !panels.empty()) found.TitleButtons = panels[0];
  if (!found.Body && panels.size() > 1) found.Body = panels[1];

  std::vector<HWND> combos;
  if (found.Body) {
    for (HWND child : ChildWindows(found.Body)) {
      if (IsClass(child, "Edit")) found.Count = child;
      if (IsClass(child, UPDOWN_CLASSA)) found.CountSpin = child;
      if (IsClass(child, "ComboBox")) combos.push_back(child);
      if (IsClass(child, DATETIMEPICK_CLASSA)) found.Picker = child;
    }
  }
  // The unit drop-down is the upper of the two.
  std::sort(combos.begin(), combos.end(), [](HWND a, HWND b) { return RectInParent(a).top < RectInParent(b).top; });
  if (combos.size() == 2) {
    found.Unit = combos[0];
    found.Weekday = combos[1];
  }
  comboCount = combos.size();
  windows_ = found;
  return found.Body && found.Count && found.CountSpin && found.Unit && found.Weekday && found.Picker;
}

bool Kelpo::FindControls(bool checkLayout) {
  // The main window can be found before its children exist: wait for all of them.
  std::vector<HWND> panels;
  std::size_t comboCount = 0;
  WaitUntil([&] { return Scan(panels, comboCount) || !process_.Running(); });
  Settle(process_.Handle(), windows_.Main);
  Scan(panels, comboCount);

  if (checkLayout) {
    std::string seen;
    for (HWND panel : panels) {
      seen += ' ';
      seen += RectText(RectInParent(panel));
    }
    checks_.Check(panels.size() == 2 && At(windows_.Body, 0, 23) && RectInParent(windows_.TitleButtons).left == 433,
                  "layout/panels",
                  "expected TPanel children at (0,23) and at x=433, found:" + (seen.empty() ? " none" : seen));
  }
  if (!checks_.Check(windows_.Body != nullptr, "body-panel-found", "no second TPanel child in the main window"))
    return false;
  const KelpoWindows& w = windows_;
  const bool found =
      checks_.Check(w.Count && w.CountSpin && w.Unit && w.Weekday && w.Picker, "editor-controls-found",
                    "in the body panel: Edit " + std::string(w.Count ? "found" : "missing") + ", up-down " +
                        (w.CountSpin ? "found" : "missing") + ", " + std::to_string(comboCount) +
                        " combo boxes (2 expected), time picker " + (w.Picker ? "found" : "missing"));
  if (!found || !checkLayout) return found;

  RECT client{};
  GetClientRect(windows_.Main, &client);
  checks_.Check(client.right == 478 && client.bottom == 313, "layout/main-client-478x313",
                "client area " + RectText(client));
  const LONG style = GetWindowLongA(windows_.Main, GWL_STYLE);
  checks_.Check((style & WS_POPUP) && (style & WS_CAPTION) == 0 && (style & WS_THICKFRAME) == 0,
                "layout/main-frameless-popup", [&] {
                  char text[32];
                  std::snprintf(text, sizeof(text), "style 0x%08lX", static_cast<unsigned long>(style));
                  return std::string(text);
                }());
  RECT window{};
  GetWindowRect(windows_.Main, &window);
  const int left = (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2;
  checks_.Check(std::abs(window.left - left) <= 1 && std::abs(window.top - top) <= 1, "layout/main-centred",
                "window at " + RectText(window) + ", centred would be at (" + std::to_string(left) + "," +
                    std::to_string(top) + ")");
  checks_.Check(At(windows_.Count, 163, 111), "layout/count-at-163-111", RectText(RectInParent(windows_.Count)));
  checks_.Check(At(windows_.Unit, 210, 111), "layout/unit-at-210-111", RectText(RectInParent(windows_.Unit)));
  checks_.Check(At(windows_.Picker, 69, 143), "layout/time-at-69-143", RectText(RectInParent(windows_.Picker)));
  checks_.Check(At(windows_.Weekday, 69, 175), "layout/weekday-at-69-175", RectText(RectInParent(windows_.Weekday)));
  checks_.Check(reinterpret_cast<HWND>(Send(w.CountSpin, UDM_GETBUDDY, 0, 0)) == w.Count, "layout/count-spin-buddy",
                "the up-down's buddy is not the count's edit");
  const LRESULT range = Send(windows_.CountSpin, UDM_GETRANGE, 0, 0);
  checks_.Check(HIWORD(range) == 1 && LOWORD(range) == 30, "layout/count-range-1-30",
                "range " + std::to_string(HIWORD(range)) + ".." + std::to_string(LOWORD(range)));
  checks_.Equal("layout/count-limit-2-characters", Send(windows_.Count, EM_GETLIMITTEXT, 0, 0), 2);
  checks_.Check((GetWindowLongA(windows_.Unit, GWL_STYLE) & 3) == CBS_DROPDOWNLIST, "layout/unit-is-drop-down-list",
                "the unit combo box accepts typing");
  checks_.Equal("layout/unit-items", Join(ComboItems(windows_.Unit)), Join(kUnits));
  checks_.Equal("layout/weekday-items", Join(ComboItems(windows_.Weekday)), Join(kWeekdays));
  return true;
}

HWND Kelpo::WaitForMessageBox(HWND except) const {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND box : MessageBoxes())
      if (box != except) found = box;
    return found != nullptr || !process_.Running();
  });
  return found;
}

void Kelpo::Close(bool byImage) {
  if (HideIntoTray(byImage, byImage ? "close-by-image" : "close-by-wm-close")) EndAsLogonEnds();
}

bool Kelpo::HideIntoTray(bool byImage, const std::string& name) {
  // While the window is shown, the application window carries its taskbar
  // button: a visible top-level window without owner that is no tool window.
  const HWND shownApplication = ApplicationWindow();
  checks_.Check(shownApplication && IsWindowVisible(shownApplication) && !GetWindow(shownApplication, GW_OWNER) &&
                    !(GetWindowLongA(shownApplication, GWL_EXSTYLE) & WS_EX_TOOLWINDOW),
                std::string(name) + "/taskbar-button-while-shown", "the application window is hidden or owned");
  if (byImage)
    PostClick(windows_.TitleButtons, kCloseButton.x, kCloseButton.y);
  else
    PostMessageA(windows_.Main, WM_CLOSE, 0, 0);
  // The window and then the application window (the taskbar button) hide.
  const bool hidden = WaitUntil([&] {
    const HWND application = ApplicationWindow();
    return !process_.Running() || (!IsWindowVisible(windows_.Main) && (!application || !IsWindowVisible(application)));
  });
  return checks_.Check(hidden && process_.Running(), name,
                       !process_.Running()              ? "kelpo.exe ended instead of hiding"
                       : IsWindowVisible(windows_.Main) ? "the main window is still shown"
                                                        : "the application window (the taskbar button) is still shown");
}

void Kelpo::EndAsLogonEnds() {
  DWORD_PTR answer = 0;
  const bool answered =
      SendMessageTimeoutA(windows_.Main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
  checks_.Check(answered && answer == 1, "query-end-session", "answered " + std::to_string(answer));
  PostMessageA(windows_.Main, WM_CLOSE, 0, 0);
  DWORD code = 0;
  if (!process_.WaitForExit(kWaitMs, code)) {
    checks_.Fail("end", "kelpo.exe still runs 15 s after the logon's end was allowed and the window closed; " +
                            std::to_string(MessageBoxes().size()) + " message box(es) open");
    process_.Terminate();
    return;
  }
  checks_.Check(true, "end");
  checks_.Equal("exit-code", code, 0);
}

// The editor's visible state, for a failure message.
std::string EditorState(const KelpoWindows& w) {
  return "count " + Quote(WindowText(w.Count)) + ", unit " + Quote(WindowText(w.Unit)) + ", time picker " +
         (IsWindowVisible(w.Picker) ? "shown" : "hidden") + ", weekday " + Quote(WindowText(w.Weekday)) + " " +
         (IsWindowVisible(w.Weekday) ? "shown" : "hidden");
}

void CheckVisibility(Checks& checks, const KelpoWindows& w, const std::string& name, bool picker, bool weekday) {
  const bool ok = IsWindowVisible(w.Picker) == static_cast<BOOL>(picker) &&
                  IsWindowVisible(w.Weekday) == static_cast<BOOL>(weekday);
  checks.Check(ok, name,
               std::string("expected time picker ") + (picker ? "shown" : "hidden") + " and weekday " +
                   (weekday ? "shown" : "hidden") + "; " + EditorState(w));
}

// Checks the editor state that a start without stored values shows.
void CheckDefaultEditor(Checks& checks, Kelpo& kelpo) {
  const KelpoWindows& w = kelpo.Windows();
  checks.Equal("default/count-3", WindowText(w.Count), "3");
  checks.Equal("default/count-spin-at-3", Send(w.CountSpin, UDM_GETPOS32, 0, 0), 3);
  checks.Equal("default/unit-minutes", WindowText(w.Unit), "minutes");
  checks.Equal("default/unit-selection-0", Send(w.Unit, CB_GETCURSEL, 0, 0), 0);
  checks.Equal("default/weekday-sunday", WindowText(w.Weekday), "Sunday");
  checks.Check(IsWindowVisible(w.Count) && IsWindowVisible(w.Unit), "default/count-and-unit-shown", EditorState(w));
  CheckVisibility(checks, w, "default/time-and-weekday-hidden", false, false);

  // The picker starts at the current time of day; allow for a slow start.
  SYSTEMTIME picked{};
  SYSTEMTIME now{};
  GetLocalTime(&now);
  if (checks.Check(PickerTime(kelpo.ProcessHandle(), w.Picker, picked), "default/time-readable",
                   "DTM_GETSYSTEMTIME gave no valid time")) {
    const int pickedSeconds = picked.wHour * 3600 + picked.wMinute * 60 + picked.wSecond;
    const int nowSeconds = now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
    const int difference = std::abs(pickedSeconds - nowSeconds);
    checks.Check(std::min(difference, 86400 - difference) <= 600, "default/time-is-now",
                 "picker at " + TimeText(picked) + ", local time " + TimeText(now));
  }
}

// Selects `index` in a drop-down list the way the keyboard does: arrow keys move
// the selection one item at a time, and the control itself sends its parent the
// CBN_SELCHANGE notification for each step. `onStep` runs after each step.
bool SelectByKeys(HWND combo, int index, const std::function<void(int)>& onStep = {}) {
  for (int steps = 0; steps < 10; ++steps) {
    const int current = static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0));
    if (current == index) return true;
    if (!PressKey(combo, current < index ? VK_DOWN : VK_UP)) return false;
    if (onStep) onStep(static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0)));
  }
  return static_cast<int>(Send(combo, CB_GETCURSEL, 0, 0)) == index;
}

// Sets the count as typing does: WM_SETTEXT makes the edit send EN_CHANGE.
bool SetCount(HWND edit, const char* text) {
  bool ok = false;
  Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), &ok);
  return ok;
}

// Sets the time picker to `hour`:`minute`:00. DTM_SETSYSTEMTIME puts the value in
// but sends no DTN_DATETIMECHANGE, and a notification forged by the driver would
// only test the driver's idea of it. So the value is then changed once more the
// way a user does: a click on the picker selects a field and takes the focus, the
// Up key steps that field and Down steps it back, and the picker itself reports
// both changes to its parent. Whichever field the click selected, the value ends
// at the wanted time. Returns what went wrong, or an empty text.
std::string SetTimeLikeUser(Kelpo& kelpo, WORD hour, WORD minute) {
  const HWND picker = kelpo.Windows().Picker;
  SYSTEMTIME wanted{};
  if (!PickerTime(kelpo.ProcessHandle(), picker, wanted)) GetLocalTime(&wanted);
  wanted.wHour = hour;
  wanted.wMinute = minute;
  wanted.wSecond = 0;
  wanted.wMilliseconds = 0;
  if (!SetPickerTime(kelpo.ProcessHandle(), picker, wanted)) return "DTM_SETSYSTEMTIME failed";

  RECT client{};
  GetClientRect(picker, &client);
  // The hours are the first field, a few pixels from the left edge.
  const LPARAM at = MAKELPARAM(6, client.bottom / 2);
  Send(picker, WM_LBUTTONDOWN, MK_LBUTTON, at);
  Send(picker, WM_LBUTTONUP, 0, at);
  SYSTEMTIME stepped{};
  if (!PressKey(picker, VK_UP) || !PickerTime(kelpo.ProcessHandle(), picker, stepped))
    return "the Up key did not reach the picker";
  if (TimeText(stepped) == TimeText(wanted)) return "the Up key did not change the picker's value";
  if (!PressKey(picker, VK_DOWN)) return "the Down key did not reach the picker";
  return {};
}

std::vector<std::string> NonEmptyLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : bytes) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

bool OnlyCrLfLineEnds(const std::string& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
  return true;
}

std::string ProfileValue(const std::string& file, const char* key) {
  char value[2048] = {};
  GetPrivateProfileStringA("Scheduler", key, "<missing>", value, sizeof(value), file.c_str());
  return value;
}

// Checks that a message box has exactly the buttons Yes and No.
void CheckYesNoButtons(Checks& checks, const MessageBoxView& view, const std::string& name) {
  std::vector<int> buttons = view.Buttons;
  std::sort(buttons.begin(), buttons.end());
  std::string ids;
  for (int id : view.Buttons) {
    ids += ' ';
    ids += std::to_string(id);
  }
  checks.Check(buttons == std::vector<int>{IDYES, IDNO}, name, "button ids" + ids + " (expected 6 and 7)");
}

// Clicks the apply button and waits for the confirmation box; checks its content.
HWND ClickApplyAndFindConfirm(Checks& checks, Kelpo& kelpo) {
  PostClick(kelpo.Windows().Body, kApplyButton.x, kApplyButton.y);
  HWND confirm = kelpo.WaitForMessageBox();
  if (!checks.Check(confirm != nullptr, "apply/confirmation-shown",
                    "no message box 15 s after a click on the apply button; " + EditorState(kelpo.Windows())))
    return nullptr;
  const MessageBoxView view = ViewMessageBox(confirm);
  checks.Equal("apply/confirmation-caption", view.Caption, "Confirm");
  checks.Equal("apply/confirmation-text", view.Text, "Apply schedule changes?");
  CheckYesNoButtons(checks, view, "apply/confirmation-yes-no");
  return confirm;
}

bool Answer(Checks& checks, HWND box, int button, const std::string& name) {
  return checks.Check(AnswerMessageBox(box, button), name + "-pressed",
                      "the box has no button " + std::to_string(button)) &&
         checks.Check(WaitUntil([&] { return !IsWindow(box); }), name + "-closes", "the box stays open after 15 s");
}

struct Options {
  std::string KelpoExe;
  std::string Output;  // the folder that receives the screenshots
};

// Scenario 1: a fresh folder; the defaults; every 2 weeks at 9:30:00 PM on Friday
// set through the controls and applied with Yes; settings.ini; a screenshot; and a
// second start that loads the stored schedule.
void FreshStartApplyWeekly(Checks& checks, const Options& options) {
  checks.SetScope("weekly/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  std::string stored;
  {
    Kelpo kelpo(checks, folders);
    if (!kelpo.Start(true)) return;
    const KelpoWindows& w = kelpo.Windows();
    CheckDefaultEditor(checks, kelpo);
    checks.Check(!FileExists(folders.Settings()) && !FileExists(folders.StraySettings()), "default/no-settings-file",
                 "a settings.ini exists right after the start");

    checks.Check(SetCount(w.Count, "2"), "edit/count-set", "WM_SETTEXT not delivered");
    checks.Equal("edit/count-shows-2", WindowText(w.Count), "2");
    checks.Equal("edit/count-spin-at-2", Send(w.CountSpin, UDM_GETPOS32, 0, 0), 2);

    // Down through every unit and back up to weeks, checking the sentence's parts.
    const bool expectPicker[] = {false, false, true, true, true};
    const bool expectWeekday[] = {false, false, false, true, true};
    checks.Check(SelectByKeys(w.Unit, 4,
                              [&](int index) {
                                if (index < 0 || index > 4) return;
                                CheckVisibility(checks, w, "edit/unit-" + kUnits[index] + "-parts", expectPicker[index],
                                                expectWeekday[index]);
                              }),
                 "edit/unit-down-to-months", "the arrow keys did not move the selection; " + EditorState(w));
    checks.Check(SelectByKeys(w.Unit, kWeeks), "edit/unit-up-to-weeks", EditorState(w));
    checks.Equal("edit/unit-shows-weeks", WindowText(w.Unit), "weeks");
    CheckVisibility(checks, w, "edit/weeks-parts-shown", true, true);

    const std::string timeError = SetTimeLikeUser(kelpo, 21, 30);
    checks.Check(timeError.empty(), "edit/time-changed-by-keys", timeError);
    SYSTEMTIME picked{};
    PickerTime(kelpo.ProcessHandle(), w.Picker, picked);
    checks.Equal("edit/time-is-21-30-00", TimeText(picked), "21:30:00");
    checks.Equal("edit/time-shows-9-30-00-pm", WindowText(w.Picker), "9:30:00 PM");

    checks.Check(SelectByKeys(w.Weekday, kFriday), "edit/weekday-to-friday", EditorState(w));
    checks.Equal("edit/weekday-shows-friday", WindowText(w.Weekday), "Friday");

    const std::string yesterdayBefore = DateText(AddDays(LocalToday(), -1));
    HWND confirm = ClickApplyAndFindConfirm(checks, kelpo);
    if (!confirm) return;
    checks.Check(!FileExists(folders.Settings()), "apply/nothing-written-before-the-answer",
                 "settings.ini exists while the question is open");
    if (!Answer(checks, confirm, IDYES, "apply/yes")) return;

    HWND info = kelpo.WaitForMessageBox(confirm);
    if (!checks.Check(info != nullptr, "apply/information-shown", "no message box 15 s after Yes")) return;
    const MessageBoxView view = ViewMessageBox(info);
    checks.Equal("apply/information-caption", view.Caption, "Kelpo");
    checks.Equal("apply/information-text", view.Text, "Schedule changes have been applied");
    checks.Check(view.Buttons == std::vector<int>{IDOK}, "apply/information-ok-only",
                 std::to_string(view.Buttons.size()) + " buttons");
    checks.Check(FileExists(folders.Settings()), "apply/written-before-the-information",
                 "no settings.ini beside kelpo.exe while the information box is shown");
    if (!Answer(checks, info, IDOK, "apply/ok")) return;
    Settle(kelpo.ProcessHandle(), w.Main);
    checks.Check(kelpo.MessageBoxes().empty(), "apply/no-further-message", "another message box is open");
    const std::string yesterdayAfter = DateText(AddDays(LocalToday(), -1));

    // The file: exactly the section and the five keys, in the order written.
    const bool read = ReadFileBytes(folders.Settings(), stored);
    checks.Check(read, "settings/file-beside-exe", "cannot read " + folders.Settings());
    checks.Check(!FileExists(folders.StraySettings()), "settings/no-file-in-current-folder",
                 "settings.ini was written into the current folder");
    if (read) {
      const std::vector<std::string> lines = NonEmptyLines(stored);
      const std::string lastRun =
          !lines.empty() && lines.back() == "DateLastRun=" + yesterdayAfter ? yesterdayAfter : yesterdayBefore;
      const std::vector<std::string> expected = {"[Scheduler]",     "SchID=3",    "SchFrequency=2",
                                                 "Time=9:30:00 PM", "Day=Friday", "DateLastRun=" + lastRun};
      checks.Check(lines == expected, "settings/five-keys-in-order",
                   "file " + Quote(stored) + ", expected the lines " + Quote(Join(expected)));
      checks.Check(OnlyCrLfLineEnds(stored), "settings/crlf-line-ends", "file " + Quote(stored));
      checks.Equal("settings/profile-SchID", ProfileValue(folders.Settings(), "SchID"), "3");
      checks.Equal("settings/profile-SchFrequency", ProfileValue(folders.Settings(), "SchFrequency"), "2");
      checks.Equal("settings/profile-Time", ProfileValue(folders.Settings(), "Time"), "9:30:00 PM");
      checks.Equal("settings/profile-Day", ProfileValue(folders.Settings(), "Day"), "Friday");
      checks.Equal("settings/profile-DateLastRun", ProfileValue(folders.Settings(), "DateLastRun"), lastRun);
    }
    checks.Equal("after-apply/editor-unchanged", EditorState(w),
                 "count \"2\", unit \"weeks\", time picker shown, weekday \"Friday\" shown");

    // The window as the user now sees it.
    SetForegroundWindow(w.Main);
    RedrawWindow(w.Main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Settle(kelpo.ProcessHandle(), w.Main);
    ScreenshotStats stats;
    std::string error;
    if (checks.Check(SaveScreenshot(w.Main, options.Output + "\\e2e-main.bmp", stats, error), "screenshot/saved",
                     error)) {
      checks.Check(stats.Width == 478 && stats.Height == 313, "screenshot/478x313",
                   std::to_string(stats.Width) + "x" + std::to_string(stats.Height));
      checks.Check(stats.Colours >= 16, "screenshot/painted",
                   "only " + std::to_string(stats.Colours) + " colours on the window");
    }
    kelpo.CloseByMessage();
  }

  // A second start loads what was applied; closing writes nothing.
  checks.SetScope("weekly-reload/");
  {
    Kelpo kelpo(checks, folders);
    if (kelpo.Start(false)) {
      const KelpoWindows& w = kelpo.Windows();
      checks.Equal("count-2", WindowText(w.Count), "2");
      checks.Equal("unit-weeks", WindowText(w.Unit), "weeks");
      checks.Equal("unit-selection-3", Send(w.Unit, CB_GETCURSEL, 0, 0), kWeeks);
      CheckVisibility(checks, w, "weeks-parts-shown", true, true);
      SYSTEMTIME picked{};
      PickerTime(kelpo.ProcessHandle(), w.Picker, picked);
      checks.Equal("time-21-30-00", TimeText(picked), "21:30:00");
      checks.Equal("weekday-friday", WindowText(w.Weekday), "Friday");
      kelpo.CloseByImage();
    }
    std::string after;
    ReadFileBytes(folders.Settings(), after);
    checks.Check(after == stored, "settings-unchanged", "file now " + Quote(after) + ", was " + Quote(stored));
  }
}

// Scenario 2: a stored count above the range shows as 30; the file is left alone.
void StoredCountClamped(Checks& checks, const Options& options) {
  checks.SetScope("count-45/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  const std::string original = "[Scheduler]\r\nSchFrequency=45\r\n";
  checks.Check(WriteFileBytes(folders.Settings(), original), "prepare-settings", "cannot write settings.ini");
  {
    Kelpo kelpo(checks, folders);
    if (kelpo.Start(false)) {
      const KelpoWindows& w = kelpo.Windows();
      checks.Equal("count-30", WindowText(w.Count), "30");
      checks.Equal("count-spin-at-30", Send(w.CountSpin, UDM_GETPOS32, 0, 0), 30);
      checks.Equal("unit-minutes", WindowText(w.Unit), "minutes");
      checks.Equal("weekday-sunday", WindowText(w.Weekday), "Sunday");
      CheckVisibility(checks, w, "time-and-weekday-hidden", false, false);
      kelpo.CloseByMessage();
    }
  }
  std::string after;
  ReadFileBytes(folders.Settings(), after);
  checks.Check(after == original, "settings-unchanged", "file now " + Quote(after));
  checks.Check(!FileExists(folders.StraySettings()), "no-file-in-current-folder", "settings.ini in the current folder");
}

// Scenario 3: a section without keys gives the defaults.
void EmptySectionGivesDefaults(Checks& checks, const Options& options) {
  checks.SetScope("empty-section/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  const std::string original = "[Scheduler]\r\n";
  checks.Check(WriteFileBytes(folders.Settings(), original), "prepare-settings", "cannot write settings.ini");
  {
    Kelpo kelpo(checks, folders);
    if (kelpo.Start(false)) {
      CheckDefaultEditor(checks, kelpo);
      kelpo.CloseByImage();
    }
  }
  std::string after;
  ReadFileBytes(folders.Settings(), after);
  checks.Check(after == original, "settings-unchanged", "file now " + Quote(after));
}

// Scenario 4: the unit's parts hide again for minutes; answering No writes nothing.
void AnswerNoWritesNothing(Checks& checks, const Options& options) {
  checks.SetScope("answer-no/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  {
    Kelpo kelpo(checks, folders);
    if (!kelpo.Start(false)) return;
    const KelpoWindows& w = kelpo.Windows();
    checks.Check(SelectByKeys(w.Unit, 4), "unit-to-months", EditorState(w));
    CheckVisibility(checks, w, "months-parts-shown", true, true);
    checks.Check(SelectByKeys(w.Unit, 0), "unit-back-to-minutes", EditorState(w));
    CheckVisibility(checks, w, "minutes-parts-hidden", false, false);
    checks.Check(SelectByKeys(w.Unit, 2), "unit-to-days", EditorState(w));
    CheckVisibility(checks, w, "days-shows-time-only", true, false);
    checks.Check(SetCount(w.Count, "5"), "count-set", "WM_SETTEXT not delivered");

    HWND confirm = ClickApplyAndFindConfirm(checks, kelpo);
    if (confirm && Answer(checks, confirm, IDNO, "no")) {
      Settle(kelpo.ProcessHandle(), w.Main);
      checks.Equal("no-further-message", static_cast<long long>(kelpo.MessageBoxes().size()), 0);
      checks.Check(!FileExists(folders.Settings()) && !FileExists(folders.StraySettings()), "nothing-written",
                   "a settings.ini exists after No");
      checks.Equal("editor-unchanged", EditorState(w),
                   "count \"5\", unit \"days\", time picker shown, weekday \"Sunday\" hidden");
    }
    kelpo.CloseByImage();
  }
  checks.Check(!FileExists(folders.Settings()), "nothing-written-on-close", "a settings.ini exists after closing");
}

// The registry keys of the wash scenarios: the typed-address key with nested
// subkeys and values, and its sibling, made before kelpo.exe starts and deleted
// again when the scenario ends, so that later scenarios and runs start clean.
class TypedUrlsFixture {
 public:
  explicit TypedUrlsFixture(Checks& checks) {
    Remove();
    const std::string& key = kTypedUrlsKey;
    CreateRegistryKey(HKEY_CURRENT_USER, key + "\\A\\B\\C");
    CreateRegistryKey(HKEY_CURRENT_USER, key + "\\Z");
    SetRegistryString(HKEY_CURRENT_USER, key, "url1", "http://kelpo.example/one");
    SetRegistryString(HKEY_CURRENT_USER, key, "url2", "http://kelpo.example/two");
    SetRegistryString(HKEY_CURRENT_USER, key + "\\A\\B\\C", "deep", "c");
    CreateRegistryKey(HKEY_CURRENT_USER, kTypedUrlsTimeKey);
    SetRegistryString(HKEY_CURRENT_USER, kTypedUrlsTimeKey, "url1", "kept");
    ready_ = checks.Equal("prepare-registry", Tree(kTypedUrlsKey) + " / " + Tree(kTypedUrlsTimeKey),
                          Join(kTypedUrlsTree) + " / " + Join(kTypedUrlsTimeTree));
  }
  TypedUrlsFixture(const TypedUrlsFixture&) = delete;
  TypedUrlsFixture& operator=(const TypedUrlsFixture&) = delete;
  ~TypedUrlsFixture() { Remove(); }

  bool Ready() const { return ready_; }

  // The key's subtree joined by "|", or "<missing>".
  static std::string Tree(const std::string& key) {
    std::vector<std::string> entries;
    return ReadRegistryTree(HKEY_CURRENT_USER, key, entries) ? Join(entries) : "<missing>";
  }

 private:
  static void Remove() {
    DeleteRegistryTree(HKEY_CURRENT_USER, kTypedUrlsKey);
    DeleteRegistryTree(HKEY_CURRENT_USER, kTypedUrlsTimeKey);
  }

  bool ready_ = false;
};

// Which system icon a message box shows. Its icon is a static control of the
// SS_ICON type; the icon's pixels are read from the screen and compared with each
// system icon drawn by the driver over the same background. Returns the name of the
// icon that matches exactly, or an empty name and in `detail` what was seen.
std::string MessageBoxIcon(HWND box, std::string& detail) {
  HWND icon = nullptr;
  for (HWND child : ChildWindows(box))
    if (IsClass(child, "Static") && IsWindowVisible(child) &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      icon = child;
  if (!icon) {
    detail = "the box shows no icon";
    return {};
  }
  RECT client{};
  GetClientRect(icon, &client);
  Pixels shown;
  if (!CaptureScreen(ClientToScreenRect(icon, client), shown)) {
    detail = "cannot read the icon from the screen";
    return {};
  }
  // The icons' corners are transparent, so the top-left pixel is the background.
  const std::uint32_t background = shown.Rgb.empty() ? 0 : shown.Rgb[0];
  const std::pair<const char*, LPCSTR> candidates[] = {
      {"question", IDI_QUESTION}, {"exclamation", IDI_EXCLAMATION}, {"hand", IDI_HAND}, {"asterisk", IDI_ASTERISK}};
  std::string found;
  detail = "pixels that differ from the icon drawn at " + RectText(client) + ":";
  for (const auto& [name, id] : candidates) {
    Pixels drawn;
    if (!RenderSystemIcon(id, shown.Width, shown.Height, background, drawn)) {
      detail += std::string(" ") + name + " cannot be drawn;";
      continue;
    }
    const int different = DifferentPixels(shown, drawn);
    detail += std::string(" ") + name + " " + std::to_string(different) + ";";
    if (different == 0) found = name;
  }
  return found;
}

// Clicks the wash-now button and waits for its question; checks its content, its
// owner and that the main window is disabled while it is open.
HWND ClickWashAndFindQuestion(Checks& checks, Kelpo& kelpo) {
  PostClick(kelpo.Windows().Body, kWashButton.x, kWashButton.y);
  HWND question = kelpo.WaitForMessageBox();
  if (!checks.Check(question != nullptr, "question-shown",
                    "no message box 15 s after a click on the wash-now button at body (" +
                        std::to_string(kWashButton.x) + "," + std::to_string(kWashButton.y) + ")"))
    return nullptr;
  Settle(kelpo.ProcessHandle(), question);
  RedrawWindow(question, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle(kelpo.ProcessHandle(), question);

  const MessageBoxView view = ViewMessageBox(question);
  checks.Equal("question-caption", view.Caption, "Kelpo");
  checks.Equal("question-text", view.Text, "Wash IE cookies and cache?");
  CheckYesNoButtons(checks, view, "question-yes-no");
  // The default button is the one drawn with the BS_DEFPUSHBUTTON style.
  auto isDefault = [&](int id) {
    HWND button = GetDlgItem(question, id);
    return button && (GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  };
  checks.Check(isDefault(IDYES) && !isDefault(IDNO), "question-default-yes",
               std::string("Yes is ") + (isDefault(IDYES) ? "" : "not ") + "the default button, No is " +
                   (isDefault(IDNO) ? "" : "not ") + "the default button");
  std::string iconDetail;
  const std::string icon = MessageBoxIcon(question, iconDetail);
  checks.Check(icon == "question", "question-icon", iconDetail);
  const HWND application = kelpo.ApplicationWindow();
  const HWND owner = Owner(question);
  checks.Check(application && owner == application, "question-owned-by-application-window",
               std::string("owner ") + (owner ? "of class " + Quote(ClassName(owner)) : "none") + "; " +
                   (application ? "" : "no window of class TApplication titled \"Kelpo\" found"));
  checks.Check(!IsWindowEnabled(kelpo.Windows().Main), "main-window-disabled-while-asking",
               std::string("the main window accepts input while the question is open (the application window is ") +
                   (application && !IsWindowEnabled(application) ? "disabled" : "enabled") + ")");
  return question;
}

// Checks that kelpo.exe still runs with its main window shown, enabled and
// answering messages, and without a message box.
void CheckStillRunning(Checks& checks, Kelpo& kelpo, const Folders& folders) {
  const HWND main = kelpo.Windows().Main;
  checks.Check(kelpo.Running(), "still-running", "kelpo.exe has ended");
  checks.Check(Settle(kelpo.ProcessHandle(), main), "main-window-responsive",
               "WM_NULL to the main window not answered within 15 s");
  checks.Check(IsWindow(main) && IsWindowVisible(main), "main-window-shown", "the main window is gone or hidden");
  checks.Check(IsWindowEnabled(main), "main-window-enabled", "the main window stays disabled");
  checks.Equal("no-message-box", static_cast<long long>(kelpo.MessageBoxes().size()), 0);
  checks.Check(!FileExists(folders.Settings()) && !FileExists(folders.StraySettings()), "no-settings-written",
               "a settings.ini exists");
}

// Scenario 5: Yes to the wash question deletes the typed-address key with all its
// subkeys and values, leaves its sibling, and shows no message.
void WashYes(Checks& checks, const Options& options) {
  checks.SetScope("wash-yes/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  TypedUrlsFixture registry(checks);
  if (!registry.Ready()) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;

  HWND question = ClickWashAndFindQuestion(checks, kelpo);
  if (!question) return;
  checks.Equal("nothing-washed-before-the-answer", TypedUrlsFixture::Tree(kTypedUrlsKey), Join(kTypedUrlsTree));
  if (!Answer(checks, question, IDYES, "yes")) return;
  const bool deleted = WaitUntil([] { return !RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrlsKey); }, 10000);
  checks.Check(deleted, "typed-urls-deleted",
               "10 s after Yes the key still holds " + TypedUrlsFixture::Tree(kTypedUrlsKey));
  checks.Equal("typed-urls-time-kept", TypedUrlsFixture::Tree(kTypedUrlsTimeKey), Join(kTypedUrlsTimeTree));
  CheckStillRunning(checks, kelpo, folders);
  kelpo.CloseByMessage();
}

// Scenario 6: No to the wash question leaves the registry as it was.
void WashNo(Checks& checks, const Options& options) {
  checks.SetScope("wash-no/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  TypedUrlsFixture registry(checks);
  if (!registry.Ready()) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;

  HWND question = ClickWashAndFindQuestion(checks, kelpo);
  if (!question || !Answer(checks, question, IDNO, "no")) return;
  // The click's handler has returned once the main window answers again.
  CheckStillRunning(checks, kelpo, folders);
  checks.Equal("typed-urls-kept", TypedUrlsFixture::Tree(kTypedUrlsKey), Join(kTypedUrlsTree));
  checks.Equal("typed-urls-time-kept", TypedUrlsFixture::Tree(kTypedUrlsTimeKey), Join(kTypedUrlsTimeTree));
  kelpo.CloseByImage();
}

// Reads an area of the body panel from the screen once the main window has been
// painted anew.
bool CaptureBody(Kelpo& kelpo, const RECT& area, Pixels& pixels) {
  const KelpoWindows& w = kelpo.Windows();
  SetForegroundWindow(w.Main);
  RedrawWindow(w.Main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Settle(kelpo.ProcessHandle(), w.Main);
  return CaptureScreen(ClientToScreenRect(w.Body, area), pixels);
}

// Scenario 7: the start button turns into the stop button and the status line
// changes; the stop button turns both back. Both are painted by the program
// without windows of their own, so the screen is compared: the stop face must
// differ from the start face, and after stop the pixels must be those from before
// start. Starting runs no wash.
void StartStop(Checks& checks, const Options& options) {
  checks.SetScope("start-stop/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  TypedUrlsFixture registry(checks);
  if (!registry.Ready()) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();

  Pixels startFace;
  Pixels inactiveLine;
  if (!checks.Check(CaptureBody(kelpo, kStartStopArea, startFace) && CaptureBody(kelpo, kStatusLine, inactiveLine),
                    "screen-readable", "cannot read the body panel from the screen")) {
    kelpo.CloseByMessage();
    return;
  }

  // A face that reads Stop instead of Start differs in far more than 20 pixels.
  constexpr int kFewestChanged = 20;
  // The button and the line are painted when the posted click has been handled,
  // so each is read again until it shows what is expected or the wait ends.
  PostClick(w.Body, kStartStopButton.x, kStartStopButton.y);
  Pixels stopFace;
  Pixels activeLine;
  int faceChanged = 0;
  int lineChanged = 0;
  WaitUntil([&] {
    CaptureBody(kelpo, kStartStopArea, stopFace);
    CaptureBody(kelpo, kStatusLine, activeLine);
    faceChanged = DifferentPixels(stopFace, startFace);
    lineChanged = DifferentPixels(activeLine, inactiveLine);
    return faceChanged >= kFewestChanged && lineChanged >= kFewestChanged;
  });
  checks.Check(faceChanged >= kFewestChanged, "start/stop-face-shown",
               std::to_string(faceChanged) + " pixels of the button changed after a click on start");
  checks.Check(lineChanged >= kFewestChanged, "start/status-line-changed",
               std::to_string(lineChanged) + " pixels of the status line changed after a click on start");
  checks.Equal("start/no-message-box", static_cast<long long>(kelpo.MessageBoxes().size()), 0);
  checks.Equal("start/runs-no-wash", TypedUrlsFixture::Tree(kTypedUrlsKey), Join(kTypedUrlsTree));

  PostClick(w.Body, kStartStopButton.x, kStartStopButton.y);
  Pixels startAgain;
  Pixels inactiveAgain;
  int faceLeft = 0;
  int lineLeft = 0;
  WaitUntil([&] {
    CaptureBody(kelpo, kStartStopArea, startAgain);
    CaptureBody(kelpo, kStatusLine, inactiveAgain);
    faceLeft = DifferentPixels(startAgain, startFace);
    lineLeft = DifferentPixels(inactiveAgain, inactiveLine);
    return faceLeft == 0 && lineLeft == 0;
  });
  checks.Equal("stop/start-face-back", faceLeft, 0);
  checks.Equal("stop/status-line-back", lineLeft, 0);
  CheckStillRunning(checks, kelpo, folders);
  kelpo.CloseByImage();
}

// A label of the schedule sentence: its place in the body panel and the captions it can have.
struct SentenceLabel {
  const char* Name;
  POINT At;
  const char* Widest;  // the longest caption, for the area a hidden label leaves empty
};
constexpr SentenceLabel kRunLabel = {"label1", {50, 115}, "Run Kelpo after every"};
constexpr SentenceLabel kAtLabel = {"label2", {50, 145}, "at"};
constexpr SentenceLabel kWeekdayLabel = {"label3", {50, 178}, "first"};
constexpr SentenceLabel kMonthLabel = {"label4", {162, 178}, "of the month"};
// The labels are drawn in the window's font on the colour of the pale field.
constexpr const char* kLabelFont = "MS Sans Serif";
constexpr int kLabelFontHeight = -11;
constexpr std::uint32_t kFieldColour = 0xFFFFDD;

int PixelsOtherThan(const Pixels& pixels, std::uint32_t colour) {
  return static_cast<int>(
      std::count_if(pixels.Rgb.begin(), pixels.Rgb.end(), [&](std::uint32_t p) { return p != colour; }));
}

// The last column that holds a pixel other than `colour`, or -1.
int LastInkColumn(const Pixels& pixels, std::uint32_t colour) {
  int last = -1;
  for (int y = 0; y < pixels.Height; ++y)
    for (int x = 0; x < pixels.Width; ++x)
      if (pixels.Rgb[static_cast<std::size_t>(y) * pixels.Width + x] != colour) last = std::max(last, x);
  return last;
}

// Checks that a label shows `caption` whole: the screen at the label's place holds
// exactly what the driver draws for the caption in the label's font and colour. With
// no caption, the place of the label's longest caption must be empty field.
void CheckLabel(Checks& checks, Kelpo& kelpo, const std::string& unit, const SentenceLabel& label,
                const std::string& caption) {
  const std::string name = unit + "/" + label.Name + (caption.empty() ? "-hidden" : "-whole");
  Pixels drawn;
  if (!checks.Check(
          RenderText(caption.empty() ? label.Widest : caption, kLabelFont, kLabelFontHeight, kFieldColour, drawn), name,
          "the driver cannot draw the caption"))
    return;
  const RECT area = {label.At.x, label.At.y, label.At.x + drawn.Width, label.At.y + drawn.Height};
  Pixels shown;
  if (!checks.Check(CaptureBody(kelpo, area, shown), name, "cannot read " + RectText(area) + " from the screen"))
    return;
  if (caption.empty()) {
    const int other = PixelsOtherThan(shown, kFieldColour);
    checks.Check(other == 0, name,
                 std::to_string(other) + " pixels of " + RectText(area) + " are not the field colour");
    return;
  }
  const int different = DifferentPixels(shown, drawn);
  checks.Check(different == 0, name,
               std::to_string(different) + " pixels of " + RectText(area) + " differ from " + Quote(caption) +
                   " as drawn; its ink ends at column " + std::to_string(LastInkColumn(shown, kFieldColour)) +
                   " on screen and at column " + std::to_string(LastInkColumn(drawn, kFieldColour)) + " as drawn");
}

// Scenario 8: the sentence of every unit as the user reads it. For each unit the
// controls are set through the controls themselves, the labels on the screen are
// compared with the captions drawn whole (a label cut short at its design width
// fails), and a screenshot of the main window is saved as e2e-sentence-UNIT.bmp.
void SentenceOfEveryUnit(Checks& checks, const Options& options) {
  checks.SetScope("sentences/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();

  SYSTEMTIME evening{};
  GetLocalTime(&evening);
  evening.wHour = 21;
  evening.wMinute = evening.wSecond = evening.wMilliseconds = 0;
  checks.Check(SetPickerTime(kelpo.ProcessHandle(), w.Picker, evening), "time-set", "DTM_SETSYSTEMTIME failed");

  struct Sentence {
    const char* Count;
    const char* Weekday;  // caption of the weekday label, or none
    bool At;              // "at" and the time shown
    bool OfTheMonth;      // "of the month" shown
  };
  // Run Kelpo after every 5 minutes; 2 hours; 1 days at 9:00:00 PM; 2 weeks at
  // 9:00:00 PM on Friday; 1 months at 9:00:00 PM first Friday of the month.
  const Sentence sentences[] = {{"5", "", false, false},
                                {"2", "", false, false},
                                {"1", "", true, false},
                                {"2", "on", true, false},
                                {"1", "first", true, true}};
  for (int unit = 0; unit < 5; ++unit) {
    const Sentence& sentence = sentences[unit];
    const std::string scope = kUnits[unit];
    checks.Check(SetCount(w.Count, sentence.Count) && SelectByKeys(w.Unit, unit), scope + "/set", EditorState(w));
    if (unit == kWeeks) checks.Check(SelectByKeys(w.Weekday, kFriday), scope + "/weekday-set", EditorState(w));
    Settle(kelpo.ProcessHandle(), w.Main);
    checks.Equal(scope + "/count", WindowText(w.Count), sentence.Count);
    checks.Equal(scope + "/unit", WindowText(w.Unit), kUnits[unit]);
    CheckVisibility(checks, w, scope + "/parts", sentence.At, *sentence.Weekday != '\0');
    if (sentence.At) checks.Equal(scope + "/time", WindowText(w.Picker), "9:00:00 PM");
    if (*sentence.Weekday) checks.Equal(scope + "/weekday", WindowText(w.Weekday), "Friday");

    CheckLabel(checks, kelpo, scope, kRunLabel, kRunLabel.Widest);
    CheckLabel(checks, kelpo, scope, kAtLabel, sentence.At ? "at" : "");
    CheckLabel(checks, kelpo, scope, kWeekdayLabel, sentence.Weekday);
    CheckLabel(checks, kelpo, scope, kMonthLabel, sentence.OfTheMonth ? kMonthLabel.Widest : "");

    ScreenshotStats stats;
    std::string error;
    const std::string file = options.Output + "\\e2e-sentence-" + kUnits[unit] + ".bmp";
    if (checks.Check(SaveScreenshot(w.Main, file, stats, error), scope + "/screenshot-saved", error))
      checks.Check(stats.Width == 478 && stats.Height == 313, scope + "/screenshot-478x313",
                   std::to_string(stats.Width) + "x" + std::to_string(stats.Height));
  }
  CheckStillRunning(checks, kelpo, folders);
  kelpo.CloseByMessage();
}

// The notification area as Wine shows it without a system tray of the desktop:
// a stand-alone window of explorer.exe whose children are the icons.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  for (HWND tray = FindWindowExA(nullptr, nullptr, "__winex11_standalone_tray", nullptr); tray;
       tray = FindWindowExA(nullptr, tray, "__winex11_standalone_tray", nullptr))
    for (HWND child : ChildWindows(tray))
      if (ClassName(child) == "__winex11_tray_icon" && IsWindowVisible(child)) icons.push_back(child);
  return icons;
}

// A popup menu (a window of class "#32768") of kelpo.exe once `level` of them show, or null.
HWND WaitForMenu(const Kelpo& kelpo, std::size_t level = 1) {
  HWND found = nullptr;
  WaitUntil([&] {
    std::vector<HWND> menus;
    for (HWND menu : TopLevelWindows(GetProcessId(kelpo.ProcessHandle()), "#32768"))
      if (IsWindowVisible(menu)) menus.push_back(menu);
    if (menus.size() >= level) found = menus.front();
    return found != nullptr;
  });
  return found;
}

// Chooses a menu entry by its underlined letter, as the keyboard does.
void PressMenuLetter(HWND menu, char letter) {
  PostMessageA(menu, WM_KEYDOWN, static_cast<WPARAM>(letter), 0);
  PostMessageA(menu, WM_KEYUP, static_cast<WPARAM>(letter), 0xC0000000);
}

// The window of the tray icon's callback messages: the shared hidden window.
HWND TrayIconWindow(const Kelpo& kelpo) {
  return FindProcessWindow(GetProcessId(kelpo.ProcessHandle()), "TTrayIconHandler", nullptr);
}

// A left press on the tray icon with the cursor over it, as the shell reports
// it: the callback message 0x800 with the icon's id (1, the first icon's) and
// the mouse message. (A real click on Wine's tray icon reaches the program only
// now and then.) Returns the open menu, or null after a failed check.
HWND OpenTrayMenu(Checks& checks, const Kelpo& kelpo, const std::string& name) {
  // Wine's tray window shows a new icon a moment after the program adds it.
  std::vector<HWND> icons;
  WaitUntil([&] { return (icons = TrayIcons()).size() == 1; });
  const HWND handler = TrayIconWindow(kelpo);
  if (!checks.Check(
          icons.size() == 1 && handler, name + "/one-icon",
          std::to_string(icons.size()) + " icons in the tray, icon window " + (handler ? "found" : "missing")))
    return nullptr;
  RECT icon{};
  GetWindowRect(icons[0], &icon);
  const POINT at = {(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
  SetCursorPos(at.x, at.y);
  PostMessageA(handler, 0x800, 1, WM_LBUTTONDOWN);
  PostMessageA(handler, 0x800, 1, WM_LBUTTONUP);
  const HWND menu = WaitForMenu(kelpo);
  if (!checks.Check(menu != nullptr, name + "/menu-opens", "no menu 15 s after a left press on the icon"))
    return nullptr;
  // The menu's top left corner is at the cursor: left-aligned, opening downwards.
  RECT shown{};
  GetWindowRect(menu, &shown);
  checks.Check(
      std::abs(shown.left - at.x) <= 1 && std::abs(shown.top - at.y) <= 1, name + "/menu-at-cursor",
      "menu at " + RectText(shown) + ", cursor at (" + std::to_string(at.x) + "," + std::to_string(at.y) + ")");
  return menu;
}

// The window is back: shown, with its taskbar button, in front, and the focus
// where the user left it.
void CheckBackInFront(Checks& checks, const Kelpo& kelpo, const std::string& name, HWND focused) {
  const HWND main = kelpo.Windows().Main;
  const bool shown = WaitUntil([&] { return IsWindowVisible(main) && GetForegroundWindow() == main; });
  const HWND application = kelpo.ApplicationWindow();
  checks.Check(shown, name + "/in-front",
               IsWindowVisible(main) ? "the main window is shown but not the foreground window"
                                     : "the main window stays hidden");
  checks.Check(application && IsWindowVisible(application), name + "/taskbar-button",
               "the application window stays hidden");
  const DWORD thread = GetWindowThreadProcessId(main, nullptr);
  HWND focus = nullptr;
  WaitUntil([&] {
    focus = FocusOfThread(thread);
    return focus == focused;
  });
  checks.Check(focus == focused, name + "/focus-where-it-was",
               "the focus is on a window of class " + (focus ? ClassName(focus) : std::string("<none>")) +
                   ", expected " + ClassName(focused));
}

// Scenario 9: closing puts Kelpo into the notification area, where an active
// minutes schedule keeps washing; a left press on the icon opens the menu at
// the cursor; "&Open" and a double click bring the window back in front with
// the focus where it was; "E&xit" ends the program and takes the icon away.
void TrayIconAndMenu(Checks& checks, const Options& options) {
  checks.SetScope("tray/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  if (!checks.Check(WriteFileBytes(folders.Settings(), "[Scheduler]\r\nSchID=0\r\nSchFrequency=1\r\n"),
                    "prepare-settings", "cannot write " + folders.Settings()))
    return;
  checks.Equal("no-icon-before-start", static_cast<long long>(TrayIcons().size()), 0);
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();

  // The user clicks into the count and starts the schedule: every minute.
  PostClick(w.Count, 5, 5);
  PostClick(w.Body, kStartStopButton.x, kStartStopButton.y);
  const DWORD thread = GetWindowThreadProcessId(w.Main, nullptr);
  HWND focus = nullptr;
  WaitUntil([&] {
    focus = FocusOfThread(thread);
    return focus == w.Count;
  });
  checks.Check(focus == w.Count, "focus-in-count",
               "a click into the count did not give it the focus (it is on a window of class " +
                   (focus ? ClassName(focus) : std::string("<none>")) + ")");
  checks.Equal("no-icon-before-close", static_cast<long long>(TrayIcons().size()), 0);

  if (!kelpo.HideIntoTray(true, "close-by-image")) return;
  checks.Check(WaitUntil([] { return TrayIcons().size() == 1; }), "icon-shown",
               std::to_string(TrayIcons().size()) + " icons in the tray after the close");
  {
    // The schedule washes within a minute and a bit while the window is hidden.
    TypedUrlsFixture registry(checks);
    const bool washed = WaitUntil([] { return !RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrlsKey); }, 75000);
    checks.Check(washed, "washes-while-hidden", "the typed-address key is still there 75 s after the close");
    checks.Equal("washes-while-hidden/keeps-sibling", TypedUrlsFixture::Tree(kTypedUrlsTimeKey),
                 Join(kTypedUrlsTimeTree));
    checks.Check(!IsWindowVisible(w.Main) && kelpo.MessageBoxes().empty(), "washes-while-hidden/shows-nothing",
                 "the wash showed the window or a message");
  }

  HWND menu = OpenTrayMenu(checks, kelpo, "left-press");
  if (!menu) return;
  {
    RECT area{};
    GetWindowRect(menu, &area);
    RECT tray{};
    GetWindowRect(GetParent(TrayIcons()[0]), &tray);
    UnionRect(&area, &area, &tray);
    ScreenshotStats stats;
    std::string error;
    checks.Check(SaveScreenArea(area, options.Output + "\\e2e-tray-menu.bmp", stats, error), "screenshot/saved", error);
  }
  PressMenuLetter(menu, 'O');
  CheckBackInFront(checks, kelpo, "open", w.Count);

  // A double click on the icon.
  if (!kelpo.HideIntoTray(false, "close-again")) return;
  PostMessageA(TrayIconWindow(kelpo), 0x800, 1, WM_LBUTTONDBLCLK);
  CheckBackInFront(checks, kelpo, "double-click", w.Count);
  checks.Equal("double-click/no-menu",
               static_cast<long long>(TopLevelWindows(GetProcessId(kelpo.ProcessHandle()), "#32768").size()), 0);

  // "E&xit" from the shown window.
  menu = OpenTrayMenu(checks, kelpo, "exit");
  if (!menu) return;
  PressMenuLetter(menu, 'X');
  ChildProcess& process = kelpo.Process();
  DWORD code = 0;
  if (!checks.Check(process.WaitForExit(kWaitMs, code), "exit/ends", "kelpo.exe still runs 15 s after E&xit")) return;
  checks.Equal("exit/exit-code", code, 0);
  checks.Check(WaitUntil([] { return TrayIcons().empty(); }), "exit/icon-removed",
               std::to_string(TrayIcons().size()) + " icons left in the tray");
}

// Scenario 10: the end of the logon (WM_QUERYENDSESSION answered 1 at once,
// then WM_ENDSESSION) ends Kelpo with exit code 0 and shows nothing, from the
// shown window and from the tray.
void LogonEnds(Checks& checks, const Options& options) {
  checks.SetScope("logon-end/");
  for (bool inTray : {false, true}) {
    const std::string name = inTray ? "from-tray" : "from-window";
    Folders folders;
    if (!MakeFolders(checks, options.KelpoExe, folders)) return;
    Kelpo kelpo(checks, folders);
    if (!kelpo.Start(false)) return;
    const HWND main = kelpo.Windows().Main;
    if (inTray && !kelpo.HideIntoTray(false, name + "/close")) return;

    DWORD_PTR answer = 0;
    const bool answered = SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
    checks.Check(answered && answer == 1, name + "/query-answered-1", "answered " + std::to_string(answer));
    SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    // Until it has ended, nothing new shows: no message, and a hidden window stays hidden.
    bool quiet = true;
    DWORD code = 0;
    const bool ended = WaitUntil([&] {
      quiet = quiet && kelpo.MessageBoxes().empty() && (!inTray || !IsWindowVisible(main));
      return !kelpo.Running();
    });
    checks.Check(ended && kelpo.Process().WaitForExit(0, code), name + "/ends",
                 "kelpo.exe still runs 15 s after the end of the logon");
    checks.Equal(name + "/exit-code", code, 0);
    checks.Check(quiet, name + "/shows-nothing", "a message box or the hidden window appeared");
    checks.Check(WaitUntil([] { return TrayIcons().empty(); }), name + "/no-icon-left",
                 std::to_string(TrayIcons().size()) + " icons left in the tray");
  }
}

// Moves the main window to a place of the screen where the message boxes (centred
// on the screen) and the links menu open clear of its image buttons.
void MoveMain(Kelpo& kelpo, int left, int top) {
  SetWindowPos(kelpo.Windows().Main, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Settle(kelpo.ProcessHandle(), kelpo.Windows().Main);
}

RECT WindowRect(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

bool MenuClosed(const Kelpo& kelpo) {
  return WaitUntil([&] { return TopLevelWindows(GetProcessId(kelpo.ProcessHandle()), "#32768").empty(); });
}

// The image buttons in the body panel: the place of their bitmap, their pressed
// picture in the images folder, and what a click on them opens.
enum class ClickOpens { Question, LinksMenu, Nothing };
struct ImageButton {
  const char* Name;
  RECT Face;  // the bitmap's rectangle in the body panel
  const char* PressedFile;
  ClickOpens Opens;
};
const ImageButton kApply = {"apply", {80, 53, 233, 75}, "apply.bmp", ClickOpens::Question};
const ImageButton kWash = {"wash-now", {237, 52, 317, 77}, "washnow.bmp", ClickOpens::Question};
const ImageButton kHelp = {"help", {407, 10, 462, 35}, "help.bmp", ClickOpens::LinksMenu};
const ImageButton kStart = {"start", {20, 51, 78, 76}, "pstart.bmp", ClickOpens::Nothing};
const ImageButton kStop = {"stop", {19, 51, 76, 76}, "pstop.bmp", ClickOpens::Nothing};

POINT Centre(const RECT& rect) {
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The face of a button as the screen shows it, read without disturbing modal UI.
bool ScreenFace(Kelpo& kelpo, const RECT& face, Pixels& pixels) {
  Settle(kelpo.ProcessHandle(), kelpo.Windows().Main);
  return CaptureScreen(ClientToScreenRect(kelpo.Windows().Body, face), pixels);
}

// Presses a button, checks its pressed picture while the button is held and
// while what its click opens is open, answers that, and returns the face that
// shows after the release.
Pixels PressAndRelease(Checks& checks, Kelpo& kelpo, const Folders& folders, const ImageButton& button) {
  const std::string name = button.Name;
  const KelpoWindows& w = kelpo.Windows();
  Pixels pressed;
  checks.Check(ReadBmpFile(folders.App + "\\images\\" + button.PressedFile, pressed), name + "/pressed-file-read",
               folders.App + "\\images\\" + button.PressedFile);
  const POINT at = Centre(button.Face);
  PostButtonDown(w.Body, at.x, at.y);
  Pixels held;
  CaptureBody(kelpo, button.Face, held);
  checks.Equal(name + "/pressed-while-held", DifferentPixels(held, pressed), 0);

  PostButtonUp(w.Body, at.x, at.y);
  Pixels during;
  if (button.Opens == ClickOpens::Question) {
    HWND box = kelpo.WaitForMessageBox();
    if (checks.Check(box != nullptr, name + "/question-shown", "no message box after the click")) {
      ScreenFace(kelpo, button.Face, during);
      checks.Equal(name + "/pressed-while-asking", DifferentPixels(during, pressed), 0);
      Answer(checks, box, IDNO, name + "/no");
    }
  } else if (button.Opens == ClickOpens::LinksMenu) {
    HWND menu = WaitForMenu(kelpo);
    if (checks.Check(menu != nullptr, name + "/menu-shown", "no popup menu after the click")) {
      // The menu opens over the button's lower rows; the rows above it are compared.
      const RECT screenFace = ClientToScreenRect(w.Body, button.Face);
      const int rows = std::min<int>(WindowRect(menu).top - screenFace.top, pressed.Height);
      ScreenFace(kelpo, button.Face, during);
      checks.Check(rows >= 10, name + "/rows-above-menu", std::to_string(rows) + " rows of the face above the menu");
      checks.Equal(name + "/pressed-while-menu-open",
                   DifferentPixels(Crop(during, 0, 0, pressed.Width, rows), Crop(pressed, 0, 0, pressed.Width, rows)),
                   0);
      PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
      checks.Check(MenuClosed(kelpo), name + "/menu-closed", "the menu stays open after Escape");
    }
  }
  Pixels after;
  CaptureBody(kelpo, button.Face, after);
  checks.Check(DifferentPixels(after, pressed) > 0, name + "/released", "the pressed picture stays after the release");
  return after;
}

// Scenario 9: each image button shows its pressed picture from the images folder
// while it is held, and while the question or the menu its click opens is open,
// and its own face again after the release, also when released away from it;
// text on the clipboard survives all of it.
void PressedPictures(Checks& checks, const Options& options) {
  checks.SetScope("buttons/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();
  MoveMain(kelpo, 240, 40);
  const std::string copied = "copied before any button was pressed";
  checks.Check(SetClipboardText(copied), "clipboard-text-set", "cannot put text on the clipboard");

  for (const ImageButton* button : {&kApply, &kWash, &kHelp}) {
    Pixels before;
    CaptureBody(kelpo, button->Face, before);
    const Pixels after = PressAndRelease(checks, kelpo, folders, *button);
    checks.Equal(std::string(button->Name) + "/face-back", DifferentPixels(after, before), 0);
  }
  // Start hides itself and shows stop, which hides itself again.
  Pixels startFace;
  CaptureBody(kelpo, kStart.Face, startFace);
  const Pixels stopFace = PressAndRelease(checks, kelpo, folders, kStart);
  checks.Check(DifferentPixels(stopFace, startFace) >= 20, "start/stop-face-shown", "the start face stays");
  PressAndRelease(checks, kelpo, folders, kStop);
  Pixels startAgain;
  CaptureBody(kelpo, kStart.Face, startAgain);
  checks.Equal("stop/start-face-back", DifferentPixels(startAgain, startFace), 0);

  // Released away from the button: the face comes back and nothing is asked.
  Pixels washFace;
  CaptureBody(kelpo, kWash.Face, washFace);
  const POINT at = Centre(kWash.Face);
  PostButtonDown(w.Body, at.x, at.y);
  Settle(kelpo.ProcessHandle(), w.Main);
  PostButtonUp(w.Body, at.x, at.y + 60);
  Settle(kelpo.ProcessHandle(), w.Main);
  Sleep(300);
  checks.Equal("released-away/no-question", static_cast<long long>(kelpo.MessageBoxes().size()), 0);
  Pixels washAfter;
  CaptureBody(kelpo, kWash.Face, washAfter);
  checks.Equal("released-away/face-back", DifferentPixels(washAfter, washFace), 0);

  std::string text;
  checks.Check(ClipboardText(text) && text == copied, "clipboard-text-kept",
               "the clipboard holds " + (text.empty() ? std::string("no text") : Quote(text)));
  CheckStillRunning(checks, kelpo, folders);
  kelpo.CloseByMessage();
}

// Scenario 10: dragging the title strip with the mouse moves the window; dragging
// the body or a title button does not, and the button released away does nothing.
void DragTitleStrip(Checks& checks, const Options& options) {
  checks.SetScope("drag/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();
  MoveMain(kelpo, 300, 200);
  SetForegroundWindow(w.Main);
  Settle(kelpo.ProcessHandle(), w.Main);
  const RECT start = WindowRect(w.Main);

  checks.Check(DragMouse({start.left + 200, start.top + 11}, {start.left + 260, start.top + 51}), "title/input-sent",
               "SendInput failed");
  WaitUntil([&] { return WindowRect(w.Main).left != start.left; }, 3000);
  Settle(kelpo.ProcessHandle(), w.Main);
  const RECT moved = WindowRect(w.Main);
  checks.Check(moved.left == start.left + 60 && moved.top == start.top + 40, "title/window-moved",
               "from " + RectText(start) + " to " + RectText(moved) + " (60, 40 expected)");

  const POINT body = {moved.left + 150, moved.top + 23 + 150};
  const POINT minimise = {moved.left + 433 + 8, moved.top + 10};
  for (const auto& [name, from] : {std::pair<const char*, POINT>{"body", body}, {"minimise-button", minimise}}) {
    DragMouse(from, {from.x + 60, from.y + 100});
    Settle(kelpo.ProcessHandle(), w.Main);
    Sleep(200);
    const RECT now = WindowRect(w.Main);
    checks.Check(std::memcmp(&now, &moved, sizeof(now)) == 0, std::string(name) + "/window-stays", RectText(now));
  }
  checks.Check(!IsIconic(w.Main) && IsWindowVisible(w.Main), "minimise-button/released-away-does-nothing",
               "the window was minimised");
  kelpo.CloseByMessage();
}

// What the test prefix opens https addresses with: the driver itself, which
// writes each address it is given and the show command it was started with into
// a file. Windows (Wine) runs the default value of HKCR\https\shell\open\command
// with %1 replaced by the address; the value there before is put back at the end.
class HttpsHandlerFixture {
 public:
  HttpsHandlerFixture(Checks& checks, const std::string& record) {
    char driver[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, driver, sizeof(driver));
    char previous[1024] = {};
    DWORD size = sizeof(previous);
    hadPrevious_ =
        RegGetValueA(HKEY_CLASSES_ROOT, kCommandKey, nullptr, RRF_RT_REG_SZ, nullptr, previous, &size) == ERROR_SUCCESS;
    previous_ = previous;
    const std::string command = "\"" + std::string(driver) + "\" --record-url \"" + record + "\" \"%1\"";
    ready_ = checks.Check(SetRegistryString(HKEY_CLASSES_ROOT, kCommandKey, nullptr, command), "https-handler-set",
                          "cannot set HKCR\\" + std::string(kCommandKey));
  }
  HttpsHandlerFixture(const HttpsHandlerFixture&) = delete;
  HttpsHandlerFixture& operator=(const HttpsHandlerFixture&) = delete;
  ~HttpsHandlerFixture() {
    if (hadPrevious_)
      SetRegistryString(HKEY_CLASSES_ROOT, kCommandKey, nullptr, previous_);
    else
      RegDeleteKeyValueA(HKEY_CLASSES_ROOT, kCommandKey, nullptr);
  }
  bool Ready() const { return ready_; }

 private:
  static constexpr const char* kCommandKey = "https\\shell\\open\\command";
  bool ready_ = false;
  bool hadPrevious_ = false;
  std::string previous_;
};

// Writes "ADDRESS show=N" (N the show command the process was started with) at the end of `file`.
int RecordUrl(const std::string& file, const std::string& url) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
  std::string bytes;
  ReadFileBytes(file, bytes);
  bytes += url + " show=" + std::to_string(show) + "\n";
  return WriteFileBytes(file, bytes) ? 0 : 1;
}

// Scenario 11: the banner and every entry of the links menu open exactly their
// address in the default browser; the menu opens below the help button with its
// icons; a screenshot of it with the development-services submenu open is saved
// as e2e-links-menu.bmp.
void WebLinks(Checks& checks, const Options& options) {
  checks.SetScope("links/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  const std::string record = folders.Work + "\\opened.txt";
  HttpsHandlerFixture handler(checks, record);
  if (!handler.Ready()) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();
  MoveMain(kelpo, 200, 100);
  const std::string redirect = "https://go.orvanex.example/navigate.php?p_id=11&opt=";
  std::vector<std::string> expected;
  // Waits for the next address to be recorded and checks the whole record.
  const auto expectOpened = [&](const std::string& name, const std::string& code) {
    expected.push_back(redirect + code + " show=5");
    std::vector<std::string> lines;
    WaitUntil([&] {
      std::string bytes;
      ReadFileBytes(record, bytes);
      lines = NonEmptyLines(bytes);
      return lines.size() >= expected.size();
    });
    checks.Equal(name + "/opened", Join(lines), Join(expected));
  };

  const POINT banner = {5 + 200, 226 + 30};
  PostClick(w.Body, banner.x, banner.y);
  expectOpened("banner", "0");

  const POINT help = Centre(kHelp.Face);
  struct Choice {
    const char* Name;
    std::vector<WPARAM> Keys;
    const char* Code;  // nullptr: opens nothing
  };
  const std::vector<Choice> choices = {
      {"home-page", {VK_DOWN, VK_RETURN}, "1"},
      {"online-help", {VK_DOWN, VK_DOWN, VK_RETURN}, "5"},
      {"other-products", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, "2"},
      {"advertise", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, "4"},
      {"service-1", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN}, "3_1"},
      {"service-3", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN}, "3_3"},
      {"development-services", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE, VK_ESCAPE}, nullptr},
  };
  bool first = true;
  for (const Choice& choice : choices) {
    const std::string name = choice.Name;
    PostClick(w.Body, help.x, help.y);
    HWND menu = WaitForMenu(kelpo);
    if (!checks.Check(menu != nullptr, name + "/menu-shown", "no popup menu after a click on help")) break;
    Settle(kelpo.ProcessHandle(), w.Main);
    if (first) {
      first = false;
      const RECT main = WindowRect(w.Main);
      const RECT at = WindowRect(menu);
      checks.Check(at.left == main.left + 300 && at.top == main.top + 50, "menu-below-help",
                   "menu at " + RectText(at) + ", window at " + RectText(main));
      // The icons of the entries, in colours of their own: the blue help disc, the
      // red roof, the green globe, the monitor's screen and the maker's orange disc.
      // The menu paints after it is shown, so the capture is repeated until every
      // icon is there or the wait ends.
      const std::pair<const char*, std::uint32_t> icons[] = {{"help-disc", 0x0054BE},
                                                             {"house", 0xD21414},
                                                             {"globe", 0x00963C},
                                                             {"monitor", 0x2878DC},
                                                             {"maker-logo", 0xFF8800}};
      Pixels shown;
      const auto countOf = [&](std::uint32_t colour) { return std::count(shown.Rgb.begin(), shown.Rgb.end(), colour); };
      WaitUntil([&] {
        CaptureScreen(at, shown);
        return std::all_of(std::begin(icons), std::end(icons),
                           [&](const auto& icon) { return countOf(icon.second) >= 10; });
      });
      for (const auto& [icon, colour] : icons) {
        const auto count = countOf(colour);
        checks.Check(count >= 10, std::string("icon-") + icon, std::to_string(count) + " pixels of its colour");
      }
    }
    for (WPARAM key : choice.Keys) {
      if (key == VK_RETURN && name == "service-1") {
        // The submenu is open: the screenshot shows both menus and the window.
        WaitForMenu(kelpo, 2);
        Settle(kelpo.ProcessHandle(), w.Main);
        RECT area = WindowRect(w.Main);
        for (HWND open : TopLevelWindows(GetProcessId(kelpo.ProcessHandle()), "#32768")) {
          const RECT r = WindowRect(open);
          area = {std::min(area.left, r.left), std::min(area.top, r.top), std::max(area.right, r.right),
                  std::max(area.bottom, r.bottom)};
        }
        ScreenshotStats stats;
        std::string error;
        checks.Check(SaveScreenArea(area, options.Output + "\\e2e-links-menu.bmp", stats, error), "screenshot-saved",
                     error);
      }
      PostMessageA(menu, WM_KEYDOWN, key, 0);
      Settle(kelpo.ProcessHandle(), w.Main);
    }
    checks.Check(MenuClosed(kelpo), name + "/menu-closed", "the menu stays open");
    if (choice.Code) expectOpened(name, choice.Code);
  }
  // Nothing more was opened (in particular no address for the submenu's parent).
  Sleep(500);
  std::string bytes;
  ReadFileBytes(record, bytes);
  checks.Equal("nothing-else-opened", Join(NonEmptyLines(bytes)), Join(expected));
  checks.Equal("no-message-box", static_cast<long long>(kelpo.MessageBoxes().size()), 0);
  kelpo.CloseByMessage();
}

// The about box's controls (client coordinates): the address label centred on
// its row 127..139, "Close" at (8,6) 26x13, and the version label at (105,150),
// 90 wide, which covers the number drawn in the picture's version line.
constexpr POINT kAddressLabel = {110, 133};
constexpr POINT kCloseLabel = {20, 12};
constexpr POINT kVersionLabel = {105, 150};
constexpr int kVersionLabelWidth = 90;
// Its colours (0x00RRGGBB): the version label's ground and text, and the links' text.
constexpr std::uint32_t kVersionGround = 0xFCCA56;
constexpr std::uint32_t kVersionInk = 0x800000;
constexpr std::uint32_t kLinkInk = 0x0000FF;

// The product version's major and minor numbers in a file's version resource, as
// the about box shows them, or "<none>".
std::string ProductVersionOf(const std::string& file) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
  std::string block(size, '\0');
  void* value = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, block.data()) ||
      !VerQueryValueA(block.data(), "\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
    return "<none>";
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  return std::to_string(HIWORD(fixed->dwProductVersionMS)) + "." + std::to_string(LOWORD(fixed->dwProductVersionMS));
}

// A resource of an executable loaded as data, copied out; false when it has none.
bool ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, std::string& bytes) {
  HRSRC found = FindResourceA(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return false;
  bytes.assign(static_cast<const char*>(data), SizeofResource(module, found));
  return true;
}

// Gives a copy of kelpo.exe other version numbers in the fixed part of its version
// resource, so that a version it shows can only come from the running file.
// Returns what went wrong, or an empty text.
std::string StampVersion(const std::string& exe, DWORD fileMS, DWORD fileLS, DWORD productMS, DWORD productLS) {
  std::string block;
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return "cannot load " + exe + " as data";
  const bool found = ResourceBytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16), block);  // RT_VERSION
  FreeLibrary(module);
  if (!found) return "no version resource in " + exe;
  const char signature[] = {'\xBD', '\x04', '\xEF', '\xFE'};
  const std::size_t at = block.find(std::string(signature, sizeof signature));
  if (at == std::string::npos || at + sizeof(VS_FIXEDFILEINFO) > block.size()) return "no fixed version information";
  const DWORD numbers[] = {fileMS, fileLS, productMS, productLS};
  std::memcpy(block.data() + at + 8, numbers, sizeof numbers);  // dwFileVersionMS .. dwProductVersionLS
  HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
  if (!update) return "BeginUpdateResourceA failed (error " + std::to_string(GetLastError()) + ")";
  const bool replaced =
      UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                      block.data(), static_cast<DWORD>(block.size()));
  if (!EndUpdateResourceA(update, !replaced) || !replaced)
    return "cannot replace the version resource (error " + std::to_string(GetLastError()) + ")";
  return {};
}

// Shows the about box from outside the program, as its entry in the links menu
// does, and waits until it has been painted.
bool ShowAboutBox(Kelpo& kelpo, HWND box) {
  ShowWindow(box, SW_SHOWNORMAL);
  SetForegroundWindow(box);
  RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  Settle(kelpo.ProcessHandle(), box);
  return IsWindowVisible(box) != FALSE;
}

// Checks that the version label shows `version` whole, in its colours, and its
// ground the rest of its width.
void CheckVersionLabel(Checks& checks, HWND box, const std::string& name, const std::string& version) {
  Pixels drawn;
  if (!RenderText(version, kLabelFont, kLabelFontHeight, kVersionGround, drawn, kVersionInk)) {
    checks.Fail(name, "the driver cannot draw " + Quote(version));
    return;
  }
  const RECT text = {kVersionLabel.x, kVersionLabel.y, kVersionLabel.x + drawn.Width, kVersionLabel.y + drawn.Height};
  const RECT rest = {text.right, text.top, kVersionLabel.x + kVersionLabelWidth, text.bottom};
  // A box just shown may still be painting: the screen is read until it shows
  // the label or the wait ends.
  bool captured = false;
  int different = 0;
  int other = 0;
  WaitUntil(
      [&] {
        Pixels shown;
        Pixels ground;
        captured =
            CaptureScreen(ClientToScreenRect(box, text), shown) && CaptureScreen(ClientToScreenRect(box, rest), ground);
        if (!captured) return true;
        different = DifferentPixels(shown, drawn);
        other = PixelsOtherThan(ground, kVersionGround);
        return different == 0 && other == 0;
      },
      3000);
  if (!captured) {
    checks.Fail(name, "cannot read the version label from the screen");
    return;
  }
  checks.Check(different == 0 && other == 0, name,
               std::to_string(different) + " pixels of " + RectText(text) + " differ from " + Quote(version) +
                   " as drawn, and " + std::to_string(other) + " pixels of " + RectText(rest) +
                   " are not the label's ground");
}

// Finds the about box of a running kelpo.exe, which exists hidden from the start,
// owned by the application window; null (after a failed check) when there is none.
HWND FindHiddenAboutBox(Checks& checks, Kelpo& kelpo) {
  HWND box = nullptr;
  WaitUntil([&] { return (box = kelpo.AboutBox()) != nullptr || !kelpo.Running(); });
  if (!checks.Check(box != nullptr, "created", "no window of class TAboutDialog titled \"About Kelpo\""))
    return nullptr;
  checks.Check(!IsWindowVisible(box), "created-hidden", "the about box is shown at start");
  checks.Check(Owner(box) == kelpo.ApplicationWindow(), "owned-by-application-window",
               "owner " + (Owner(box) ? Quote(ClassName(Owner(box))) : std::string("none")));
  return box;
}

// The major and minor numbers of a version a.b.c.d.
std::string MajorMinor(const std::string& version) {
  const std::size_t first = version.find('.');
  return version.substr(0, version.find('.', first + 1));
}

// Scenario 12: the about box. It exists hidden from the start, owned by the
// application window; shown, it is a frameless 220 x 170 window centred on the
// screen with the build's product version (saved as e2e-about.bmp); a click on the
// address opens exactly the home page, "Close" hides the box and leaves the program
// running. Then the copy of kelpo.exe is given the product version 10.12.3.4 and
// the file version 3.1.4.1: started again, the box shows 10.12, also when shown a
// second time after "Close".
void AboutBox(Checks& checks, const Options& options) {
  checks.SetScope("about/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  const std::string release = MajorMinor(KELPO_E2E_PRODUCT_VERSION);
  checks.Equal("exe-product-version", ProductVersionOf(folders.Exe()), release);
  const std::string opened = folders.Root + "\\opened.txt";
  HttpsHandlerFixture handler(checks, opened);
  {
    Kelpo kelpo(checks, folders);
    if (!kelpo.Start(false)) return;
    const HWND box = FindHiddenAboutBox(checks, kelpo);
    if (!box || !checks.Check(ShowAboutBox(kelpo, box), "shown", "the about box stays hidden")) {
      kelpo.CloseByMessage();
      return;
    }
    RECT client{};
    GetClientRect(box, &client);
    checks.Check(client.right == 220 && client.bottom == 170, "client-220x170", RectText(client));
    const LONG style = GetWindowLongA(box, GWL_STYLE);
    checks.Check((style & WS_POPUP) && (style & WS_CAPTION) == 0, "frameless", "style " + std::to_string(style));
    RECT window{};
    GetWindowRect(box, &window);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - 220) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - 170) / 2;
    checks.Check(
        std::abs(window.left - left) <= 1 && std::abs(window.top - top) <= 1, "centred",
        "at " + RectText(window) + ", centred would be at (" + std::to_string(left) + "," + std::to_string(top) + ")");
    CheckVersionLabel(checks, box, "version-of-this-release", release);
    Pixels links;
    int linkInk = 0;
    WaitUntil([&] {
      CaptureScreen(ClientToScreenRect(box, RECT{0, 0, 220, 140}), links);
      linkInk = static_cast<int>(std::count(links.Rgb.begin(), links.Rgb.end(), kLinkInk));
      return linkInk >= 100;
    });
    checks.Check(linkInk >= 100, "links-drawn", std::to_string(linkInk) + " pixels in the links' blue");
    ScreenshotStats stats;
    std::string error;
    if (checks.Check(SaveScreenshot(box, options.Output + "\\e2e-about.bmp", stats, error), "screenshot-saved", error))
      checks.Check(stats.Width == 220 && stats.Height == 170 && stats.Colours > 8, "screenshot-plausible",
                   std::to_string(stats.Width) + "x" + std::to_string(stats.Height) + ", " +
                       std::to_string(stats.Colours) + " colours");

    if (handler.Ready()) {
      PostClick(box, kAddressLabel.x, kAddressLabel.y);
      std::string bytes;
      WaitUntil([&] { return ReadFileBytes(opened, bytes) && !bytes.empty(); });
      checks.Equal("address-opens-the-home-page", Join(NonEmptyLines(bytes)), std::string(HomePageAddress) + " show=1");
      checks.Check(IsWindowVisible(box), "shown-after-the-address", "the about box hid itself");
    }

    PostClick(box, kCloseLabel.x, kCloseLabel.y);
    checks.Check(WaitUntil([&] { return !IsWindowVisible(box); }), "close-hides", "the about box stays shown");
    checks.Check(IsWindow(box), "close-keeps-the-box", "the about box was destroyed");
    CheckStillRunning(checks, kelpo, folders);
    kelpo.CloseByMessage();
  }

  checks.SetScope("about/stamped/");
  const std::string stamped =
      StampVersion(folders.Exe(), MAKELONG(1, 3), MAKELONG(1, 4), MAKELONG(12, 10), MAKELONG(4, 3));
  if (!checks.Check(stamped.empty(), "version-stamped", stamped)) return;
  checks.Equal("exe-product-version", ProductVersionOf(folders.Exe()), "10.12");
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const HWND box = FindHiddenAboutBox(checks, kelpo);
  if (box && checks.Check(ShowAboutBox(kelpo, box), "shown", "the about box stays hidden")) {
    CheckVersionLabel(checks, box, "version-of-the-running-file", "10.12");
    PostClick(box, kCloseLabel.x, kCloseLabel.y);
    checks.Check(WaitUntil([&] { return !IsWindowVisible(box); }), "close-hides", "the about box stays shown");
    if (checks.Check(ShowAboutBox(kelpo, box), "shown-again", "the about box stays hidden"))
      CheckVersionLabel(checks, box, "same-version-again", "10.12");
  }
  kelpo.CloseByMessage();
}

// The widths and heights of an icon group resource's images, as "16x16,32x32,...".
std::string IconGroupSizes(const std::string& group) {
  std::vector<std::string> sizes;
  // GRPICONDIR: three words, then 14-byte entries starting with width and height (0 for 256).
  const std::size_t count = group.size() >= 6 ? static_cast<unsigned char>(group[4]) : 0;
  for (std::size_t i = 0; i < count && 6 + i * 14 + 2 <= group.size(); ++i) {
    const int width = static_cast<unsigned char>(group[6 + i * 14]);
    const int height = static_cast<unsigned char>(group[6 + i * 14 + 1]);
    sizes.push_back(std::to_string(width ? width : 256) + "x" + std::to_string(height ? height : 256));
  }
  std::sort(sizes.begin(), sizes.end(),
            [](const std::string& a, const std::string& b) { return std::atoi(a.c_str()) < std::atoi(b.c_str()); });
  std::string text;
  for (const auto& size : sizes) text += (text.empty() ? "" : ",") + size;
  return text;
}

BOOL CALLBACK CollectResourceName(HMODULE, LPCSTR, LPSTR name, LONG_PTR names) {
  reinterpret_cast<std::vector<std::string>*>(names)->push_back(
      IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : std::string(name));
  return TRUE;
}

// The path of the module `name` (lower case) in process `pid`, or empty.
std::string ModulePath(DWORD pid, const std::string& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  std::string path;
  MODULEENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Module32First(snapshot, &entry); more && path.empty(); more = Module32Next(snapshot, &entry)) {
    std::string module = entry.szModule;
    std::transform(module.begin(), module.end(), module.begin(), [](unsigned char c) { return std::tolower(c); });
    if (module == name) path = entry.szExePath;
  }
  CloseHandle(snapshot);
  return path;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// Scenario 13: kelpo.exe as a Windows user receives it. The file's first icon is
// the globe at 16, 32 and 48 pixels (Explorer shows it); its manifest asks for the
// common controls 6, asInvoker and the Windows versions up to 11; its version
// resource holds the versions of the build. Running, its common controls are version
// 6's side-by-side assembly, which the manifest made the system load. (Another
// process cannot read a window's icons under Wine: the Win32 tests check in-process
// that the windows, and so the taskbar button, carry the icon.)
void ExeAsReceived(Checks& checks, const Options& options) {
  checks.SetScope("exe/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  HMODULE module = LoadLibraryExA(folders.Exe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!checks.Check(module != nullptr, "loads-as-data", "error " + std::to_string(GetLastError()))) return;

  std::vector<std::string> icons;
  EnumResourceNamesA(module, MAKEINTRESOURCEA(14), CollectResourceName, reinterpret_cast<LONG_PTR>(&icons));
  checks.Equal("first-icon-group", icons.empty() ? "<none>" : icons.front(), "MAINICON");
  std::string group;
  checks.Equal("icon-sizes",
               ResourceBytes(module, "MAINICON", MAKEINTRESOURCEA(14), group) ? IconGroupSizes(group) : "<none>",
               "16x16,32x32,48x48");

  const auto fileIcon = static_cast<HICON>(LoadImageA(module, "MAINICON", IMAGE_ICON, 32, 32, 0));
  Pixels globe;
  Pixels generic;
  const bool drawn =
      RenderIcon(fileIcon, 32, 32, 0xFFFFFF, globe) && RenderSystemIcon(IDI_APPLICATION, 32, 32, 0xFFFFFF, generic);
  checks.Check(drawn && DifferentPixels(globe, generic) > 0 && PixelsOtherThan(globe, 0xFFFFFF) > 100, "icon-drawn",
               drawn ? "the icon looks like the generic one or is nearly empty" : "cannot draw the icon at 32 pixels");
  if (fileIcon) DestroyIcon(fileIcon);

  std::string manifest;
  checks.Check(ResourceBytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), manifest), "manifest-present",
               "no RT_MANIFEST resource 1");
  const char* const wanted[][2] = {
      {"common-controls-6", R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")"},
      {"as-invoker", R"(level="asInvoker")"},
      {"supports-windows-7", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"},
      {"supports-windows-8.1", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}"},
      {"supports-windows-10-and-11", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
  };
  for (const auto& [name, text] : wanted)
    checks.Check(manifest.find(text) != std::string::npos, std::string("manifest-") + name, "no " + Quote(text));

  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(folders.Exe().c_str(), &handle);
  std::string block(size, '\0');
  void* value = nullptr;
  UINT length = 0;
  if (checks.Check(size > 0 && GetFileVersionInfoA(folders.Exe().c_str(), 0, size, block.data()) &&
                       VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO),
                   "version-readable", "no fixed version information")) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    const auto text = [](DWORD ms, DWORD ls) {
      return std::to_string(HIWORD(ms)) + "." + std::to_string(LOWORD(ms)) + "." + std::to_string(HIWORD(ls)) + "." +
             std::to_string(LOWORD(ls));
    };
    checks.Equal("product-version", text(fixed->dwProductVersionMS, fixed->dwProductVersionLS),
                 KELPO_E2E_PRODUCT_VERSION);
    checks.Equal("file-version", text(fixed->dwFileVersionMS, fixed->dwFileVersionLS), KELPO_E2E_FILE_VERSION);
  }

  Kelpo kelpo(checks, folders);
  if (kelpo.Start(false)) {
    const std::string comctl = Lower(ModulePath(kelpo.ProcessId(), "comctl32.dll"));
    checks.Check(comctl.find("microsoft.windows.common-controls") != std::string::npos &&
                     comctl.find("_6.0.") != std::string::npos,
                 "common-controls-6-loaded", "comctl32.dll from " + Quote(comctl));
    kelpo.CloseByMessage();
  }
  FreeLibrary(module);
}

// Sends keys to the open menu one by one, letting the program handle each.
void PressMenuKeys(const Kelpo& kelpo, HWND menu, const std::vector<WPARAM>& keys) {
  for (WPARAM key : keys) {
    PostMessageA(menu, WM_KEYDOWN, key, 0);
    Settle(kelpo.ProcessHandle(), kelpo.Windows().Main);
  }
}

// Whether the picture `header` shows in `shown` within a few pixels of its
// top left corner: its inner part (the item clips the edges) must match.
bool HeaderShown(const Pixels& shown, const Pixels& header) {
  constexpr int kInset = 4;
  constexpr int kSlack = 8;
  const Pixels inner = Crop(header, kInset, kInset, header.Width - 2 * kInset, header.Height - 2 * kInset);
  for (int dy = 0; dy <= kSlack; ++dy)
    for (int dx = 0; dx <= kSlack; ++dx)
      if (DifferentPixels(Crop(shown, dx + kInset, dy + kInset, inner.Width, inner.Height), inner) <
          inner.Width * inner.Height / 50)
        return true;
  return false;
}

// Scenario 12: the tray menu while the window is hidden: its header painted
// from images\kelpo3.bmp opens the maker's page, "Start/Stop" starts the
// schedule and "Wash Now" washes at once, both without showing the window or
// asking; "&Open" shows the window with the stop face; "E&xit" from the
// hidden window ends the program.
void TrayMenuItems(Checks& checks, const Options& options) {
  checks.SetScope("tray-menu/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  if (!checks.Check(WriteFileBytes(folders.Settings(), "[Scheduler]\r\nSchID=0\r\nSchFrequency=60\r\n"),
                    "prepare-settings", "cannot write " + folders.Settings()))
    return;
  Pixels header;
  if (!checks.Check(ReadBmpFile(folders.App + "\\images\\kelpo3.bmp", header), "header-file",
                    "cannot read images\\kelpo3.bmp beside the program"))
    return;
  const std::string record = folders.Work + "\\opened.txt";
  HttpsHandlerFixture handler(checks, record);
  if (!handler.Ready()) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();
  PostClick(w.Count, 5, 5);
  Pixels startFace;
  CaptureBody(kelpo, kStartStopArea, startFace);
  if (!kelpo.HideIntoTray(true, "close")) return;

  // The header, painted from the file; Down then Enter chooses it.
  HWND menu = OpenTrayMenu(checks, kelpo, "header");
  if (!menu) return;
  Settle(kelpo.ProcessHandle(), w.Main);
  Pixels shown;
  const bool painted = WaitUntil([&] { return CaptureScreen(WindowRect(menu), shown) && HeaderShown(shown, header); });
  checks.Check(painted, "header/painted-from-file", "the menu does not show images\\kelpo3.bmp");
  checks.Check(shown.Width >= 190, "header/menu-wide", "the menu is " + std::to_string(shown.Width) + " wide");
  PressMenuKeys(kelpo, menu, {VK_DOWN, VK_RETURN});
  std::string opened;
  WaitUntil([&] { return ReadFileBytes(record, opened) && !NonEmptyLines(opened).empty(); });
  checks.Equal("header/opened", Join(NonEmptyLines(opened)),
               "https://go.orvanex.example/navigate.php?p_id=11&opt=0 show=5");

  // "Start/Stop", third from the top: the window stays hidden.
  menu = OpenTrayMenu(checks, kelpo, "start-stop");
  if (!menu) return;
  PressMenuKeys(kelpo, menu, {VK_DOWN, VK_DOWN, VK_RETURN});
  checks.Check(MenuClosed(kelpo) && !IsWindowVisible(w.Main), "start-stop/stays-hidden",
               "the menu stays open or the window showed");

  // "Wash Now": the planted key goes at once, with no question.
  {
    TypedUrlsFixture registry(checks);
    menu = OpenTrayMenu(checks, kelpo, "wash-now");
    if (!menu) return;
    PressMenuKeys(kelpo, menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    checks.Check(WaitUntil([] { return !RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrlsKey); }), "wash-now/washed",
                 "the typed-address key is still there");
    checks.Check(!IsWindowVisible(w.Main) && kelpo.MessageBoxes().empty(), "wash-now/shows-nothing",
                 "the wash showed the window or a message");
  }

  // "&Open": the window is back, with the face of a running schedule.
  menu = OpenTrayMenu(checks, kelpo, "open");
  if (!menu) return;
  PressMenuLetter(menu, 'O');
  CheckBackInFront(checks, kelpo, "open", w.Count);
  Pixels face;
  int changed = 0;
  WaitUntil([&] {
    CaptureBody(kelpo, kStartStopArea, face);
    changed = DifferentPixels(face, startFace);
    return changed >= 20;
  });
  checks.Check(changed >= 20, "open/stop-face", std::to_string(changed) + " pixels of the start button changed");
  checks.Equal("no-message-box", static_cast<long long>(kelpo.MessageBoxes().size()), 0);

  // "E&xit" from the hidden window.
  if (!kelpo.HideIntoTray(false, "close-again")) return;
  menu = OpenTrayMenu(checks, kelpo, "exit");
  if (!menu) return;
  PressMenuLetter(menu, 'X');
  DWORD code = 0;
  if (!checks.Check(kelpo.Process().WaitForExit(kWaitMs, code), "exit/ends", "kelpo.exe still runs 15 s after E&xit"))
    return;
  checks.Equal("exit/exit-code", code, 0);
  checks.Check(WaitUntil([] { return TrayIcons().empty(); }), "exit/icon-removed",
               std::to_string(TrayIcons().size()) + " icons left in the tray");
}

// The already-started message of a copy that the running one refuses, once
// it shows; null (after a failed check) when none shows.
HWND WaitForAlreadyStarted(Checks& checks, const ChildProcess& copy, const std::string& name) {
  HWND box = nullptr;
  WaitUntil([&] {
    for (HWND shown : TopLevelWindows(copy.Id(), "#32770")) box = shown;
    return box != nullptr || !copy.Running();
  });
  checks.Check(box != nullptr, name + "/message-shown",
               copy.Running() ? "no message box 15 s after the start" : "the copy ended without a message");
  return box;
}

// The box says "Kelpo" was already started, with the information icon and one
// OK button, centred on the screen.
void CheckAlreadyStartedBox(Checks& checks, HWND box, const std::string& name) {
  const MessageBoxView view = ViewMessageBox(box);
  checks.Equal(name + "/caption", view.Caption, "Information");
  checks.Equal(name + "/text", view.Text, "\"Kelpo\" was already started...");
  std::string ids;
  for (int id : view.Buttons) ids += " " + std::to_string(id);
  checks.Check(view.Buttons == std::vector<int>{IDOK}, name + "/one-ok-button", "button ids" + ids + " (expected 1)");
  // The icon is read from the screen: wait until the box has painted it.
  std::string detail, icon;
  WaitUntil([&] { return (icon = MessageBoxIcon(box, detail)) == "asterisk"; }, 3000);
  checks.Check(icon == "asterisk", name + "/information-icon", icon.empty() ? detail : "the " + icon + " icon");
  const RECT rect = WindowRect(box);
  const int dx = (rect.left + rect.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2;
  const int dy = (rect.top + rect.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2;
  checks.Check(std::abs(dx) <= 1 && std::abs(dy) <= 1, name + "/centred-on-screen", "box at " + RectText(rect));
}

// Starts a second kelpo.exe beside the running one, checks its message,
// answers it and checks that the copy ends with exit code 0, having added
// no tray icon. `screenshot` (if not empty) receives the box.
bool RefusedSecondCopy(Checks& checks, const Folders& folders, const std::string& name,
                       const std::string& screenshot = {}) {
  const std::size_t icons = TrayIcons().size();
  ChildProcess copy;
  std::string error;
  if (!checks.Check(copy.Start(folders.Exe(), folders.Work, error), name + "/second-started", error)) return false;
  const HWND box = WaitForAlreadyStarted(checks, copy, name);
  if (!box) return false;
  CheckAlreadyStartedBox(checks, box, name);
  checks.Check(FindProcessWindow(copy.Id(), "TMainForm", nullptr) == nullptr, name + "/no-main-window",
               "the second copy made its main window");
  checks.Equal(name + "/no-icon-while-asking", static_cast<long long>(TrayIcons().size()),
               static_cast<long long>(icons));
  if (!screenshot.empty()) {
    ScreenshotStats stats;
    checks.Check(SaveScreenshot(box, screenshot, stats, error), name + "/screenshot-saved", error);
  }
  if (!Answer(checks, box, IDOK, name + "/ok")) return false;
  DWORD code = 0;
  if (!checks.Check(copy.WaitForExit(kWaitMs, code), name + "/second-ends", "still runs 15 s after OK")) return false;
  checks.Equal(name + "/exit-code", code, 0);
  checks.Equal(name + "/no-icon-added", static_cast<long long>(TrayIcons().size()), static_cast<long long>(icons));
  return true;
}

// Scenario 17: a second kelpo.exe started while one runs says so, brings the
// running one forward (restored when minimised, raised otherwise; hidden in the
// tray it stays hidden), writes nothing, adds no tray icon and ends with exit
// code 0; the first runs on.
void SecondCopy(Checks& checks, const Options& options) {
  checks.SetScope("second-copy/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  const std::string settings = "[Scheduler]\r\nSchID=0\r\nSchFrequency=5\r\n";
  if (!checks.Check(WriteFileBytes(folders.Settings(), settings), "prepare-settings", folders.Settings())) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();
  MoveMain(kelpo, 60, 600);

  for (const char* state : {"shown", "minimised", "in-tray"}) {
    const std::string name = state;
    if (name == "minimised") {
      PostClick(w.TitleButtons, 8, 10);
      if (!checks.Check(WaitUntil([&] { return IsIconic(kelpo.ApplicationWindow()) && !IsWindowVisible(w.Main); }),
                        name + "/first-minimised", "the minimise image did not minimise the program"))
        return;
    }
    if (name == "in-tray") {
      if (!kelpo.HideIntoTray(false, name + "/first-into-tray")) return;
      checks.Check(WaitUntil([] { return TrayIcons().size() == 1; }), name + "/first-icon-shown",
                   std::to_string(TrayIcons().size()) + " icons in the tray");
    }
    const std::size_t icons = TrayIcons().size();
    if (!RefusedSecondCopy(checks, folders, name,
                           name == "shown" ? options.Output + "\\e2e-already-started.bmp" : std::string()))
      return;

    std::string bytes;
    checks.Check(ReadFileBytes(folders.Settings(), bytes) && bytes == settings, name + "/settings-untouched",
                 "settings.ini was changed");
    checks.Check(!FileExists(folders.StraySettings()), name + "/nothing-written-beside", "a settings.ini appeared");
    checks.Check(kelpo.Running(), name + "/first-runs-on", "the first kelpo.exe has ended");
    const HWND application = kelpo.ApplicationWindow();
    checks.Check(application != nullptr, name + "/first-keeps-its-title", "no application window titled Kelpo");
    if (name == "in-tray") {
      Sleep(300);
      checks.Check(!IsWindowVisible(w.Main) && !IsWindowVisible(application), name + "/first-stays-hidden",
                   "the window or its taskbar button showed");
      checks.Equal(name + "/first-icon-stays", static_cast<long long>(TrayIcons().size()),
                   static_cast<long long>(icons));
    } else {
      const bool forward = WaitUntil(
          [&] { return !IsIconic(application) && IsWindowVisible(w.Main) && GetForegroundWindow() == w.Main; });
      checks.Check(forward, name + "/first-comes-forward",
                   IsIconic(application) ? "the application stays minimised"
                   : !IsWindowVisible(w.Main)
                       ? "the main window stays hidden"
                       : "the foreground window is of class " + ClassName(GetForegroundWindow()) +
                             (GetForegroundWindow() == application ? " (the application window)" : ""));
    }
  }
  kelpo.EndAsLogonEnds();
}

// Scenario 18: twenty copies started at once leave exactly one running; every
// other one shows its message and, once it is answered, ends with exit code 0.
void TwentyCopies(Checks& checks, const Options& options) {
  checks.SetScope("twenty-copies/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  constexpr int kCopies = 20;
  std::vector<ChildProcess> copies(kCopies);
  std::string error;
  for (ChildProcess& copy : copies)
    if (!checks.Check(copy.Start(folders.Exe(), folders.Work, error), "started", error)) return;

  // One copy shows its main window; the others each their message.
  std::vector<DWORD> withWindow;
  std::vector<HWND> boxes;
  const bool settled = WaitUntil(
      [&] {
        withWindow.clear();
        boxes.clear();
        for (const ChildProcess& copy : copies) {
          if (FindProcessWindow(copy.Id(), "TMainForm", "Kelpo")) withWindow.push_back(copy.Id());
          const std::vector<HWND> shown = TopLevelWindows(copy.Id(), "#32770");
          if (!shown.empty()) boxes.push_back(shown.front());
        }
        return withWindow.size() + boxes.size() >= kCopies;
      },
      60000);
  checks.Check(settled, "all-reacted",
               std::to_string(withWindow.size()) + " main windows and " + std::to_string(boxes.size()) +
                   " messages 60 s after the start");
  checks.Equal("one-main-window", static_cast<long long>(withWindow.size()), 1);
  checks.Equal("messages", static_cast<long long>(boxes.size()), kCopies - 1);
  int texts = 0;
  for (HWND box : boxes) texts += ViewMessageBox(box).Text == "\"Kelpo\" was already started..." ? 1 : 0;
  checks.Equal("message-texts", texts, static_cast<long long>(boxes.size()));

  for (HWND box : boxes) AnswerMessageBox(box, IDOK);
  int ended = 0, exitZero = 0;
  ChildProcess* first = nullptr;
  for (ChildProcess& copy : copies) {
    if (!withWindow.empty() && copy.Id() == withWindow.front()) {
      first = &copy;
      continue;
    }
    DWORD code = 1;
    if (copy.WaitForExit(kWaitMs, code)) {
      ++ended;
      exitZero += code == 0 ? 1 : 0;
    }
  }
  checks.Equal("others-ended", ended, kCopies - 1);
  checks.Equal("others-exit-code-0", exitZero, kCopies - 1);
  checks.Check(first && first->Running(), "one-runs-on", "no copy runs on");
  if (!first) return;
  DWORD running = 0;
  for (const ChildProcess& copy : copies) running += copy.Running() ? 1 : 0;
  checks.Equal("exactly-one-running", running, 1);
  // The survivor ends as the end of the logon ends it.
  const HWND main = FindProcessWindow(first->Id(), "TMainForm", "Kelpo");
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  checks.Check(first->WaitForExit(kWaitMs, code) && code == 0, "survivor-ends", "exit code " + std::to_string(code));
}

// Scenario 19: a copy started after the first has ended starts normally.
void StartAfterEnd(Checks& checks, const Options& options) {
  checks.SetScope("start-after-end/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  {
    checks.SetScope("start-after-end/first/");
    Kelpo first(checks, folders);
    if (!first.Start(false)) return;
    first.EndAsLogonEnds();
  }
  checks.SetScope("start-after-end/second/");
  Kelpo second(checks, folders);
  if (!second.Start(false)) return;
  checks.Check(IsWindowVisible(second.Windows().Main), "main-window-shown", "the main window is hidden");
  checks.Equal("no-message", static_cast<long long>(second.MessageBoxes().size()), 0);
  second.EndAsLogonEnds();
}

// The stand-in cache library (tests/win32/cache-standin) beside the copied
// kelpo.exe in place of the system's wininet.dll, the table of entries it
// serves and the log of the calls it answered, both beside it.
constexpr std::uint32_t kWashFilter = 0x00300035;  // the six kinds a wash deletes

// Entries of all nine kinds and of kinds combined, in the three containers,
// with sizes above 4 GiB and times beyond the year 9999 among them.
standin::Table PlantedCache(int entries) {
  constexpr std::uint32_t kinds[] = {0x00000001, 0x00000002, 0x00000004, 0x00100000, 0x00200000, 0x00000010,
                                     0x00000020, 0x00010000, 0x00020000, 0x00010001, 0x00020002};
  constexpr std::uint64_t k2024 = 133485408000000000ULL;
  constexpr std::uint64_t kYear10000 = 3067823ULL * 864000000000ULL;
  standin::Table table;
  for (int k = 0; k < entries; ++k) {
    standin::TableEntry e;
    e.CacheEntryType = kinds[k % std::size(kinds)];
    const std::string site = "site" + std::to_string(k) + ".example/";
    if (e.CacheEntryType == 0x00100000) {
      e.SourceUrlName = "Cookie:user@" + site;
      e.FileExtension = "txt";
    } else if (e.CacheEntryType == 0x00200000) {
      e.SourceUrlName = "Visited: user@http://" + site;
    } else {
      e.SourceUrlName = "http://" + site + "page" + std::to_string(k) + ".html";
      e.FileExtension = "htm";
      e.HeaderInfo = "HTTP/1.1 200 OK\r\nETag: \"" + std::to_string(k) + "\"\r\n\r\n";
    }
    if (e.CacheEntryType != 0x00200000) e.LocalFileName = "C:\\Cache\\X1\\page" + std::to_string(k) + "[1].dat";
    e.Size = k % 97 == 0 ? 0x140000000ULL : 1000 + static_cast<std::uint64_t>(k);
    e.LastModifiedTime = k2024 + static_cast<std::uint64_t>(k) * 36000000000ULL;
    e.ExpireTime = k % 89 == 0 ? kYear10000 : e.LastModifiedTime + 864000000000ULL;
    e.LastAccessTime = e.LastModifiedTime;
    e.LastSyncTime = e.LastModifiedTime;
    table.Entries.push_back(std::move(e));
  }
  return table;
}

std::vector<std::string> SelectedUrls(const standin::Table& table) {
  std::vector<std::string> urls;
  for (const standin::TableEntry& e : table.Entries)
    if (e.CacheEntryType & kWashFilter) urls.push_back(e.SourceUrlName);
  std::sort(urls.begin(), urls.end());
  return urls;
}

// Puts the stand-in from the build tree beside the scenario's kelpo.exe, with
// the table; `complete` false takes the one without SetUrlCacheGroupAttributeA.
bool InstallStandin(Checks& checks, const Options& options, const Folders& folders, bool complete,
                    const standin::Table& table, const std::string& name = "prepare-cache") {
  const std::string build = options.KelpoExe.substr(0, options.KelpoExe.find_last_of("\\/") + 1);
  const std::string dll = build + (complete ? "cache-standin" : "cache-standin-incomplete") + "\\wininet.dll";
  const std::string target = folders.App + "\\wininet.dll";
  // A loaded library's file cannot be overwritten, but it can be renamed away.
  const std::string old = folders.App + "\\wininet-" + std::to_string(GetTickCount64()) + ".old";
  if (FileExists(target)) MoveFileA(target.c_str(), old.c_str());
  // The log of an earlier run must not pass for this one's.
  DeleteFileA((folders.App + "\\" + standin::LogFileName).c_str());
  const bool ok = CopyFileA(dll.c_str(), target.c_str(), FALSE) &&
                  standin::WriteTable(folders.App + "\\" + standin::TableFileName, table);
  return checks.Check(
      ok, name,
      "cannot copy " + dll + " and its table beside kelpo.exe (error " + std::to_string(GetLastError()) + ")");
}

// While it lives, Wine loads a wininet.dll beside kelpo.exe in place of its own
// (a per-program override in the registry, which Wine reads as a program
// starts; the environment of a program started by another does not count).
class StandinOverride {
 public:
  explicit StandinOverride(Checks& checks) {
    HKEY key = nullptr;
    ready_ =
        RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kAppDefaults) + "\\DllOverrides").c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS &&
        RegSetValueExA(key, "wininet", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15) == ERROR_SUCCESS;
    if (key) RegCloseKey(key);
    checks.Check(ready_, "prepare-override", "cannot write the DLL override of kelpo.exe");
  }
  StandinOverride(const StandinOverride&) = delete;
  StandinOverride& operator=(const StandinOverride&) = delete;
  ~StandinOverride() { DeleteRegistryTree(HKEY_CURRENT_USER, kAppDefaults); }

  bool Ready() const { return ready_; }

 private:
  static constexpr const char* kAppDefaults = "Software\\Wine\\AppDefaults\\kelpo.exe";
  bool ready_ = false;
};

std::vector<standin::Call> StandinCalls(const Folders& folders) {
  std::vector<standin::Call> calls;
  standin::ReadLog(folders.App + "\\" + standin::LogFileName, calls);
  return calls;
}

// The wash has closed its enumeration: the log's last call is a close.
bool WashLogged(const Folders& folders, DWORD timeoutMs = kWaitMs) {
  return WaitUntil(
      [&] {
        const std::vector<standin::Call> calls = StandinCalls(folders);
        return !calls.empty() && calls.back().Kind == standin::CallKind::FindClose;
      },
      timeoutMs);
}

// One wash as the log shows it: every selected entry deleted once and nothing
// else, every fetch with a buffer of exactly the size its query reported, the
// wash's pattern and filter, and every enumeration it opened closed.
void CheckWashLog(Checks& checks, const std::string& name, const std::vector<standin::Call>& calls,
                  const standin::Table& table) {
  std::vector<std::string> deleted;
  std::vector<std::uint64_t> opened;
  std::vector<std::uint64_t> closed;
  int wrongSizes = 0;
  int wrongQueries = 0;
  std::uint32_t reported = 0;
  for (const standin::Call& call : calls) {
    const bool fetch = call.Kind == standin::CallKind::FindFirst || call.Kind == standin::CallKind::FindNext;
    if (fetch && !call.Buffer) reported = call.Size;
    if (fetch && call.Buffer && *call.Buffer != reported) ++wrongSizes;
    if (call.Kind == standin::CallKind::FindFirst && (call.Pattern || call.Filter != kWashFilter || call.Group != 0))
      ++wrongQueries;
    if (call.Kind == standin::CallKind::FindFirst && call.Error == 0) opened.push_back(call.Handle);
    if (call.Kind == standin::CallKind::FindClose && call.Error == 0) closed.push_back(call.Handle);
    if (call.Kind == standin::CallKind::Delete && call.Error == 0) deleted.push_back(call.Url);
  }
  std::sort(deleted.begin(), deleted.end());
  const std::vector<std::string> selected = SelectedUrls(table);
  std::vector<std::string> missed;
  std::set_difference(selected.begin(), selected.end(), deleted.begin(), deleted.end(), std::back_inserter(missed));
  std::vector<std::string> extra;
  std::set_difference(deleted.begin(), deleted.end(), selected.begin(), selected.end(), std::back_inserter(extra));
  checks.Check(deleted == selected, name + "/deletes-exactly-the-selected",
               std::to_string(deleted.size()) + " deleted of " + std::to_string(selected.size()) + " selected; " +
                   std::to_string(missed.size()) + " missed" + (missed.empty() ? "" : " (first " + missed[0] + ")") +
                   ", " + std::to_string(extra.size()) + " not selected or twice" +
                   (extra.empty() ? "" : " (first " + extra[0] + ")"));
  checks.Equal(name + "/fetches-with-the-reported-size", wrongSizes, 0);
  checks.Equal(name + "/null-pattern-wash-filter-no-group", wrongQueries, 0);
  std::sort(opened.begin(), opened.end());
  std::sort(closed.begin(), closed.end());
  checks.Check(!opened.empty() && opened == closed, name + "/enumerations-closed",
               std::to_string(opened.size()) + " opened, " + std::to_string(closed.size()) + " closed");
}

// Washes with the wash-now button, answering its question with Yes.
bool WashByButton(Checks& checks, Kelpo& kelpo, const std::string& name) {
  PostClick(kelpo.Windows().Body, kWashButton.x, kWashButton.y);
  HWND question = kelpo.WaitForMessageBox();
  return checks.Check(question && AnswerMessageBox(question, IDYES), name + "/asked-and-answered",
                      "no question after a click on the wash-now button");
}

// Scenario: 1,000 entries of every kind; "Wash Now" from the tray menu, and in
// a second run a minutes schedule, each delete exactly the selected entries,
// through the INTERNET_CACHE_ENTRY_INFOA layout of the program's own build.
void CacheWashes(Checks& checks, const Options& options) {
  checks.SetScope("cache-washes/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  StandinOverride override(checks);
  if (!override.Ready()) return;
  const standin::Table table = PlantedCache(1000);
  if (!InstallStandin(checks, options, folders, true, table)) return;
  if (!checks.Check(WriteFileBytes(folders.Settings(), "[Scheduler]\r\nSchID=0\r\nSchFrequency=1\r\n"),
                    "prepare-settings", "cannot write " + folders.Settings()))
    return;
  {
    TypedUrlsFixture registry(checks);
    if (!registry.Ready()) return;
    Kelpo kelpo(checks, folders);
    if (!kelpo.Start(false)) return;
    if (!kelpo.HideIntoTray(true, "close")) return;
    HWND menu = OpenTrayMenu(checks, kelpo, "wash-now");
    if (!menu) return;
    PressMenuKeys(kelpo, menu, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    if (checks.Check(WashLogged(folders), "wash-now/ends", "the stand-in logged no closing call of a wash")) {
      CheckWashLog(checks, "wash-now", StandinCalls(folders), table);
      checks.Check(!RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrlsKey), "wash-now/typed-urls-deleted",
                   "the typed-address key is still there");
    }
    checks.Check(kelpo.MessageBoxes().empty(), "wash-now/shows-nothing", "the wash showed a message");
    kelpo.EndAsLogonEnds();
  }

  // The library reads its table when a program first calls it: a second run
  // finds all entries again, and its schedule washes within a minute and a bit.
  if (!InstallStandin(checks, options, folders, true, table, "replant-cache")) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  PostClick(kelpo.Windows().Body, kStartStopButton.x, kStartStopButton.y);
  if (checks.Check(WashLogged(folders, 75000), "scheduled/ends", "no wash logged 75 s after the start")) {
    CheckWashLog(checks, "scheduled", StandinCalls(folders), table);
  }
  checks.Check(kelpo.MessageBoxes().empty(), "scheduled/shows-nothing", "the wash showed a message");
  kelpo.CloseByMessage();
}

// Scenario: entries that grow between the size query and the fetch, the first
// one among them: each fetch fails once and is tried again with a fresh size
// query, and the wash still deletes every selected entry.
void CacheGrowingEntries(Checks& checks, const Options& options) {
  checks.SetScope("cache-grows/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  StandinOverride override(checks);
  if (!override.Ready()) return;
  standin::Table table = PlantedCache(40);
  int growing = 0;
  for (std::size_t k : {0u, 17u, 39u}) {
    table.Entries[k].GrowAfterSizeQuery = 64;
    growing += (table.Entries[k].CacheEntryType & kWashFilter) != 0 ? 1 : 0;
  }
  if (!InstallStandin(checks, options, folders, true, table)) return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  if (!WashByButton(checks, kelpo, "wash")) return;
  if (checks.Check(WashLogged(folders), "wash/ends", "the stand-in logged no closing call of a wash")) {
    const std::vector<standin::Call> calls = StandinCalls(folders);
    CheckWashLog(checks, "wash", calls, table);
    const auto grown = std::count_if(calls.begin(), calls.end(),
                                     [](const standin::Call& call) { return call.Buffer && call.Error == 122; });
    checks.Equal("wash/fetches-failed-for-growth", grown, growing);
  }
  kelpo.CloseByMessage();
}

// Scenario: a cache library without one of the functions the probe asks for
// at start, and the complete one put in its place while the program runs. The
// program binds the library when it loads, so a library missing at start
// stays missing for that run: each wash probes it again, finds the same
// library, deletes the typed addresses and makes no cache call, without a
// message. The next run finds the complete library and washes the cache.
void CacheLibraryLater(Checks& checks, const Options& options) {
  checks.SetScope("cache-library-later/");
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  StandinOverride override(checks);
  if (!override.Ready()) return;
  const standin::Table table = PlantedCache(30);
  if (!InstallStandin(checks, options, folders, false, table)) return;
  const auto noCacheCall = [&](const std::string& name) {
    checks.Equal(name + "/no-cache-call", static_cast<long long>(StandinCalls(folders).size()), 0);
  };
  {
    Kelpo kelpo(checks, folders);
    if (!kelpo.Start(false)) return;
    for (const std::string name : {"missing", "present-later"}) {
      if (name == "present-later" && !InstallStandin(checks, options, folders, true, table, name + "/install")) return;
      TypedUrlsFixture registry(checks);
      if (!registry.Ready() || !WashByButton(checks, kelpo, name)) return;
      checks.Check(WaitUntil([] { return !RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrlsKey); }),
                   name + "/typed-urls-deleted", "the typed-address key is still there");
      Settle(kelpo.ProcessHandle(), kelpo.Windows().Main);
      noCacheCall(name);
      checks.Check(kelpo.MessageBoxes().empty(), name + "/shows-nothing", "the wash showed a message");
    }
    kelpo.CloseByMessage();
  }
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  if (WashByButton(checks, kelpo, "next-run") &&
      checks.Check(WashLogged(folders), "next-run/ends", "the stand-in logged no closing call of a wash"))
    CheckWashLog(checks, "next-run", StandinCalls(folders), table);
  kelpo.CloseByMessage();
}

// The banner of the body panel at (5,226) 469x60.
constexpr RECT kBanner = {5, 226, 474, 286};

// What a long run may leave behind: a handle or a window that the system keeps
// for a while (a cursor, a queued notification) but no count that grows with the
// number of washes or round trips; committed memory may grow by what the heap
// keeps for reuse.
constexpr long long kHandleSlack = 4;
constexpr long long kObjectSlack = 4;
constexpr long long kMemorySlack = 256 * 1024;

void CheckCountKept(Checks& checks, const std::string& name, const ProcessCount& before, const ProcessCount& after,
                    long long slack) {
  if (before.Value < 0 || after.Value < 0) {
    checks.Check(true, name + "/not-counted");
    return;
  }
  checks.Check(after.Value - before.Value <= slack, name + "/kept",
               std::to_string(before.Value) + " before, " + std::to_string(after.Value) + " after (" + after.Source +
                   "), at most " + std::to_string(slack) + " more allowed");
}

// Scenario 17: a long run. An every-minute schedule washes 1,000 times (each tick
// sent to the schedule timer's window, timer number 1, as the system delivers
// it) while the banner animates and the window goes into the tray and back 10
// times, half of the washes while it is hidden. Afterwards the process holds as
// many handles, USER and GDI objects and as much memory as after a first round
// of the same (which creates what lives for the whole run: the tray icon, its
// hidden window, the cursors), the banner still moves and the program answers.
void LongRun(Checks& checks, const Options& options) {
  checks.SetScope("long-run/");
  constexpr int kTrips = 10;
  constexpr int kWashes = 1000;
  constexpr int kWashesPerHalfTrip = kWashes / kTrips / 2;
  Folders folders;
  if (!MakeFolders(checks, options.KelpoExe, folders)) return;
  if (!checks.Check(WriteFileBytes(folders.Settings(), "[Scheduler]\r\nSchID=0\r\nSchFrequency=1\r\n"),
                    "prepare-settings", "cannot write " + folders.Settings()))
    return;
  Kelpo kelpo(checks, folders);
  if (!kelpo.Start(false)) return;
  const KelpoWindows& w = kelpo.Windows();
  const HWND timer = FindProcessWindow(kelpo.ProcessId(), "TTimerWindow", nullptr);
  if (!checks.Check(timer != nullptr, "schedule-timer-found", "no window of class TTimerWindow")) return;

  PostClick(w.Body, kStartStopButton.x, kStartStopButton.y);
  Settle(kelpo.ProcessHandle(), w.Main);
  int washes = 0;
  // One tick; every 50th finds the typed-address key planted and must delete it.
  auto tick = [&]() -> bool {
    const bool planted = washes % 50 == 0 && CreateRegistryKey(HKEY_CURRENT_USER, kTypedUrlsKey + "\\A");
    bool delivered = false;
    Send(timer, WM_TIMER, 1, 0, &delivered);
    ++washes;
    if (!delivered) return checks.Check(false, "tick-answered", "tick " + std::to_string(washes) + " not answered");
    if (planted && RegistryKeyExists(HKEY_CURRENT_USER, kTypedUrlsKey))
      return checks.Check(false, "tick-washes", "tick " + std::to_string(washes) + " left the typed-address key");
    return true;
  };
  auto ticks = [&](int count) {
    for (int i = 0; i < count; ++i)
      if (!tick()) return false;
    return true;
  };
  auto roundTrip = [&](int trip) {
    const std::string name = "trip-" + std::to_string(trip);
    if (!ticks(kWashesPerHalfTrip) || !kelpo.HideIntoTray(trip % 2 == 0, name + "/hide") || !ticks(kWashesPerHalfTrip))
      return false;
    PostMessageA(TrayIconWindow(kelpo), 0x800, 1, WM_LBUTTONDBLCLK);
    return checks.Check(WaitUntil([&] { return IsWindowVisible(w.Main) != FALSE; }), name + "/shown-again",
                        "the main window stays hidden after a double click on the icon");
  };
  // Counts are read once the program has nothing left to do and the banner's
  // frame painting is between frames.
  auto count = [&] {
    Settle(kelpo.ProcessHandle(), w.Main);
    Sleep(500);
    Settle(kelpo.ProcessHandle(), w.Main);
    return CountProcess(kelpo.ProcessHandle());
  };

  if (!roundTrip(0)) return;
  const ProcessCounts before = count();
  std::printf("counts before: %s\n", CountsText(before).c_str());
  washes = 0;
  const DWORD started = GetTickCount();
  for (int trip = 1; trip <= kTrips; ++trip)
    if (!roundTrip(trip)) return;
  const DWORD elapsed = GetTickCount() - started;
  const ProcessCounts after = count();
  std::printf("counts after %d washes and %d round trips in %lu ms: %s\n", washes, kTrips,
              static_cast<unsigned long>(elapsed), CountsText(after).c_str());
  checks.Equal("washes", washes, kWashes);
  CheckCountKept(checks, "handles", before.Handles, after.Handles, kHandleSlack);
  CheckCountKept(checks, "user-objects", before.User, after.User, kObjectSlack);
  CheckCountKept(checks, "gdi-objects", before.Gdi, after.Gdi, kObjectSlack);
  CheckCountKept(checks, "memory", before.Memory, after.Memory, kMemorySlack);

  // The banner still moves: its pixels change within a few of its frames.
  Pixels first;
  Pixels later;
  const bool moving =
      CaptureBody(kelpo, kBanner, first) && WaitUntil([&] {
        return CaptureScreen(ClientToScreenRect(w.Body, kBanner), later) && DifferentPixels(first, later) > 0;
      });
  checks.Check(moving, "banner-animates", "the banner shows the same picture for 15 s");
  checks.Check(Settle(kelpo.ProcessHandle(), w.Main), "main-window-responsive",
               "WM_NULL to the main window not answered within 15 s");
  checks.Equal("no-message-box", static_cast<long long>(kelpo.MessageBoxes().size()), 0);
  DeleteRegistryTree(HKEY_CURRENT_USER, kTypedUrlsKey);
  kelpo.EndAsLogonEnds();
}

struct Scenario {
  const char* Name;
  void (*Run)(Checks&, const Options&);
};

// The scenarios by name. Each is its own ctest test named after it, registered
// from this table by cmake/KelpoWin32.cmake: keep one entry per line.
const Scenario kScenarios[] = {
    {"weekly", FreshStartApplyWeekly},
    {"count-45", StoredCountClamped},
    {"empty-section", EmptySectionGivesDefaults},
    {"answer-no", AnswerNoWritesNothing},
    {"wash-yes", WashYes},
    {"wash-no", WashNo},
    {"start-stop", StartStop},
    {"sentences", SentenceOfEveryUnit},
    {"tray", TrayIconAndMenu},
    {"tray-menu", TrayMenuItems},
    {"logon-end", LogonEnds},
    {"buttons", PressedPictures},
    {"drag", DragTitleStrip},
    {"links", WebLinks},
    {"about", AboutBox},
    {"exe", ExeAsReceived},
    {"second-copy", SecondCopy},
    {"twenty-copies", TwentyCopies},
    {"start-after-end", StartAfterEnd},
    {"cache-washes", CacheWashes},
    {"cache-grows", CacheGrowingEntries},
    {"cache-library-later", CacheLibraryLater},
    {"long-run", LongRun},
};

// What every scenario needs: the program, and the regional settings the expected texts are written for.
void Preflight(Checks& checks, const Options& options) {
  checks.SetScope("preflight/");
  checks.Check(FileExists(options.KelpoExe), "kelpo-exe-exists", options.KelpoExe + " not found");
  checks.Check(GetUserDefaultLCID() == 0x0409, "regional-settings-en-US",
               "the user locale is " + std::to_string(GetUserDefaultLCID()) + ", not 1033 (en-US)");
}

int Usage() {
  std::fprintf(stderr,
               "usage: kelpo_e2e KELPO_EXE SCENARIO [OUTPUT_FOLDER]\n"
               "       kelpo_e2e KELPO_EXE preflight\n"
               "       kelpo_e2e --list\n"
               "       kelpo_e2e --record-url FILE ADDRESS\n"
               "scenarios:");
  for (const Scenario& scenario : kScenarios) std::fprintf(stderr, " %s", scenario.Name);
  std::fprintf(stderr, "\n");
  return 2;
}

}  // namespace
}  // namespace kelpo::e2e

int main(int argc, char** argv) {
  using namespace kelpo::e2e;
  // The https handler of the scenarios "links" and "about", started by the system.
  if (argc == 4 && std::strcmp(argv[1], "--record-url") == 0) return RecordUrl(argv[2], argv[3]);
  if (argc == 2 && std::strcmp(argv[1], "--list") == 0) {
    for (const Scenario& scenario : kScenarios) std::printf("%s\n", scenario.Name);
    return 0;
  }
  if (argc < 3 || argc > 4) return Usage();
  Options options;
  options.KelpoExe = WindowsPath(argv[1]);
  options.Output = argc > 3 ? WindowsPath(argv[3]) : ".";
  const std::string name = argv[2];

  Checks checks;
  if (name == "preflight") {
    Preflight(checks, options);
  } else {
    const auto scenario =
        std::find_if(std::begin(kScenarios), std::end(kScenarios), [&](const Scenario& s) { return name == s.Name; });
    if (scenario == std::end(kScenarios)) {
      std::fprintf(stderr, "kelpo_e2e: unknown scenario '%s'\n", name.c_str());
      return Usage();
    }
    scenario->Run(checks, options);
  }
  checks.PrintSummary();
  return checks.Failed() == 0 && checks.Passed() > 0 ? 0 : 1;
}
