// The yardstick of kelpo.exe's start-up: the least Win32 program that opens what
// Kelpo's main window opens. A frameless, centred 478x313 popup with a hidden
// owner window (Kelpo's taskbar window), and the schedule editor's native
// controls of common controls 6 (its manifest): an edit with an up-down buddy,
// two drop-down lists and a date-time picker in time mode. Nothing is read from
// disk and no picture is decoded, so the difference to kelpo.exe is what Kelpo
// does beyond the system's own work.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first
#include <commctrl.h>

namespace {

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND Control(const char* className, DWORD style, int left, int top, int width, int height, HWND parent) {
  return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, left, top, width, height, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

void AddItems(HWND combo, const char* const* items, int count) {
  for (int i = 0; i < count; ++i) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_DATE_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = MainProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "MinimalWindow";
  RegisterClassA(&windowClass);

  const HWND owner = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 0,
                                     nullptr, nullptr, windowClass.hInstance, nullptr);
  constexpr int kWidth = 478;
  constexpr int kHeight = 313;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  const HWND main = CreateWindowExA(WS_EX_CONTROLPARENT, "MinimalWindow", "Minimal", WS_POPUP | WS_CLIPCHILDREN, left,
                                    top, kWidth, kHeight, owner, nullptr, windowClass.hInstance, nullptr);

  const HWND count = Control("EDIT", ES_NUMBER | WS_BORDER, 163, 134, 32, 21, main);
  SendMessageA(count, EM_LIMITTEXT, 2, 0);
  const HWND spin = Control(UPDOWN_CLASSA, UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0, main);
  SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(count), 0);
  SendMessageA(spin, UDM_SETRANGE, 0, MAKELPARAM(30, 1));
  SendMessageA(spin, UDM_SETPOS, 0, 3);

  static const char* const kUnits[] = {"minutes", "hours", "days", "weeks", "months"};
  static const char* const kWeekdays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  AddItems(Control("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 210, 134, 97, 200, main), kUnits, 5);
  AddItems(Control("COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 69, 198, 97, 200, main), kWeekdays, 7);
  Control(DATETIMEPICK_CLASSA, DTS_TIMEFORMAT, 69, 166, 97, 21, main);

  ShowWindow(owner, SW_SHOWNOACTIVATE);
  ShowWindow(main, SW_SHOW);
  UpdateWindow(main);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageA(main, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
