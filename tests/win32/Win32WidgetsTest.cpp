#include <gtest/gtest.h>

#include "platform/win32/Win32Widgets.h"
#include "tests/win32/Win32TestSupport.h"

namespace kelpo {
namespace {

using testing::PumpUntil;
using testing::RecordingProcedure;
using testing::WindowOf;

struct RecordingEvents : WidgetEvents {
  void Changed() override { ++changed; }
  void FocusGained() override { ++focusGained; }
  void FocusLost() override { ++focusLost; }
  int changed = 0;
  int focusGained = 0;
  int focusLost = 0;
};

// The peers sit in a panel of a visible form, as the schedule editor's do.
class Win32WidgetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = windowing.CreateWindow(WindowOf(WindowKind::Popup, "TKelpoWidgetForm", 0, {500, 400, 300, 200}, true),
                                  &formProcedure);
    panel = windowing.CreateWindow(WindowOf(WindowKind::Child, "TKelpoWidgetPanel", form, {0, 20, 300, 180}, true),
                                   &panelProcedure);
    windowing.SetForegroundWindow(form);
  }

  WidgetParams Params(Rect bounds) {
    WidgetParams params;
    params.Parent = panel;
    params.Bounds = bounds;
    params.Events = &events;
    return params;
  }

  // The peer's windows together, in the panel's client coordinates.
  Rect Extent(std::initializer_list<HWND> windows) {
    RECT all{};
    for (HWND hwnd : windows) {
      RECT r{};
      GetWindowRect(hwnd, &r);
      UnionRect(&all, &all, &r);
    }
    MapWindowPoints(HWND_DESKTOP, ToHwnd(panel), reinterpret_cast<POINT*>(&all), 2);
    return Rect{all.left, all.top, all.right - all.left, all.bottom - all.top};
  }

  void MoveFocusAway() { SetFocus(ToHwnd(form)); }

  Win32Graphics graphics;
  Win32Windowing windowing{graphics};
  Win32Widgets widgets{windowing};
  RecordingProcedure formProcedure, panelProcedure;
  RecordingEvents events;
  WindowHandle form = 0;
  WindowHandle panel = 0;
};

TEST_F(Win32WidgetsTest, SpinEditRoundTripsAndReportsWhatTheUserDoes) {
  auto spin = widgets.CreateSpinEdit(Params({163, 111, 41, 19}));
  HWND edit = ToHwnd(spin->Handle());
  HWND updown = FindWindowExA(ToHwnd(panel), nullptr, UPDOWN_CLASSA, nullptr);
  ASSERT_NE(updown, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(updown, UDM_GETBUDDY, 0, 0)), edit);
  EXPECT_EQ(Extent({edit, updown}), (Rect{163, 111, 41, 19})) << "edit and buttons fill the bounds";
  EXPECT_EQ(GetWindowLongA(edit, GWL_STYLE) & ES_NUMBER, 0);

  spin->SetRange(1, 30);
  int low = 0, high = 0;
  SendMessageA(updown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 30);
  spin->SetMaxLength(2);
  EXPECT_EQ(SendMessageA(edit, EM_GETLIMITTEXT, 0, 0), 2);

  spin->SetText("7");
  EXPECT_EQ(spin->Text(), "7");
  EXPECT_EQ(events.changed, 0) << "a value set by the program is no user change";

  SetFocus(edit);
  SendMessageA(edit, WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(spin->Text(), "8");
  EXPECT_GT(events.changed, 0);

  RECT buttons{};
  GetClientRect(updown, &buttons);
  const LPARAM upper = MAKELPARAM(buttons.right / 2, buttons.bottom / 4);
  events.changed = 0;
  SendMessageA(updown, WM_LBUTTONDOWN, MK_LBUTTON, upper);
  SendMessageA(updown, WM_LBUTTONUP, 0, upper);
  EXPECT_EQ(spin->Text(), "9");
  EXPECT_GT(events.changed, 0);

  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CHAR, '.', 0);
  SendMessageA(edit, WM_CHAR, '5', 0);
  EXPECT_EQ(spin->Text(), ".5") << "a fraction can be typed";

  EXPECT_EQ(events.focusLost, 0);
  MoveFocusAway();
  EXPECT_EQ(events.focusGained, 1);
  EXPECT_EQ(events.focusLost, 1);
  EXPECT_EQ(panelProcedure.Count(WM_COMMAND), 0) << "notifications go to the peer only";
  EXPECT_EQ(panelProcedure.Count(WM_NOTIFY), 0);

  spin->SetVisible(false);
  EXPECT_FALSE(spin->Visible());
  EXPECT_FALSE(IsWindowVisible(edit));
  EXPECT_FALSE(IsWindowVisible(updown));
  spin->SetVisible(true);
  EXPECT_TRUE(spin->Visible());
  EXPECT_TRUE(IsWindowVisible(updown));
  spin->SetBounds({20, 30, 41, 19});
  EXPECT_EQ(Extent({edit, updown}), (Rect{20, 30, 41, 19}));

  spin.reset();
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_FALSE(IsWindow(updown));
}

TEST_F(Win32WidgetsTest, ComboBoxSelectsSilentlyAndReportsKeyboardChanges) {
  auto combo = widgets.CreateComboBox(Params({210, 111, 65, 19}), false);
  HWND hwnd = ToHwnd(combo->Handle());
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  EXPECT_EQ(Extent({hwnd}), (Rect{210, 111, 65, 19})) << "the closed box has the height of the bounds";

  combo->SetItems({"minutes", "hours", "days", "weeks", "months"});
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "days");
  combo->SetItemIndex(-1);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
  combo->SetItemIndex(0);
  PostMessageA(hwnd, CB_SETCURSEL, 3, 0);
  PumpUntil(windowing, [&] { return combo->ItemIndex() == 3; });
  EXPECT_EQ(combo->ItemIndex(), 3);
  EXPECT_EQ(events.changed, 0);

  SetFocus(hwnd);
  SendMessageA(hwnd, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(combo->ItemIndex(), 4);
  EXPECT_EQ(combo->Text(), "months");
  EXPECT_EQ(events.changed, 1);

  MoveFocusAway();
  EXPECT_EQ(events.focusGained, 1);
  EXPECT_EQ(events.focusLost, 1);
  EXPECT_EQ(panelProcedure.Count(WM_COMMAND), 0);

  combo->SetBounds({10, 40, 89, 19});
  EXPECT_EQ(Extent({hwnd}), (Rect{10, 40, 89, 19}));
}

TEST_F(Win32WidgetsTest, EditableComboBoxTakesTypedText) {
  auto combo = widgets.CreateComboBox(Params({69, 175, 89, 19}), true);
  HWND hwnd = ToHwnd(combo->Handle());
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & 3, CBS_DROPDOWN);
  combo->SetItems({"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"});
  combo->SetItemIndex(6);
  EXPECT_EQ(combo->Text(), "Saturday");
  EXPECT_EQ(events.changed, 0);

  HWND edit = FindWindowExA(hwnd, nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CHAR, 'F', 0);
  EXPECT_EQ(combo->Text(), "F");
  EXPECT_GT(events.changed, 0);
  MoveFocusAway();
  EXPECT_EQ(events.focusGained, 1);
  EXPECT_EQ(events.focusLost, 1);
}

TEST_F(Win32WidgetsTest, TimePickerHoldsATimeOfTodayAndReportsUserChanges) {
  auto picker = widgets.CreateTimePicker(Params({69, 143, 89, 21}));
  HWND hwnd = ToHwnd(picker->Handle());
  EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & (DTS_TIMEFORMAT | DTS_UPDOWN), DTS_TIMEFORMAT | DTS_UPDOWN);

  SYSTEMTIME before{};
  GetLocalTime(&before);
  picker->SetTime({13, 45, 30});
  EXPECT_EQ(picker->Time(), (TimeOfDay{13, 45, 30}));
  SYSTEMTIME held{};
  ASSERT_EQ(SendMessageA(hwnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&held)), GDT_VALID);
  SYSTEMTIME after{};
  GetLocalTime(&after);
  EXPECT_TRUE((held.wDay == before.wDay && held.wMonth == before.wMonth && held.wYear == before.wYear) ||
              (held.wDay == after.wDay && held.wMonth == after.wMonth && held.wYear == after.wYear));
  picker->SetTime({23, 59, 59});
  EXPECT_EQ(picker->Time(), (TimeOfDay{23, 59, 59}));
  EXPECT_EQ(events.changed, 0);

  // A field is picked with the arrow keys (Wine starts with none picked) and counted up.
  SetFocus(hwnd);
  SendMessageA(hwnd, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(hwnd, WM_KEYDOWN, VK_UP, 0);
  EXPECT_NE(picker->Time(), (TimeOfDay{23, 59, 59}));
  EXPECT_GT(events.changed, 0);
  MoveFocusAway();
  EXPECT_EQ(events.focusGained, 1);
  EXPECT_EQ(events.focusLost, 1);
  EXPECT_EQ(panelProcedure.Count(WM_NOTIFY), 0);
}

TEST_F(Win32WidgetsTest, TabMovesBetweenWidgetsInCreationOrder) {
  auto spin = widgets.CreateSpinEdit(Params({163, 111, 41, 19}));
  auto combo = widgets.CreateComboBox(Params({210, 111, 65, 19}), false);
  auto picker = widgets.CreateTimePicker(Params({69, 143, 89, 21}));
  HWND edit = ToHwnd(spin->Handle());
  SetFocus(edit);
  ASSERT_EQ(GetFocus(), edit);

  PostMessageA(edit, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(PumpUntil(windowing, [&] { return GetFocus() == ToHwnd(combo->Handle()); }));
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(PumpUntil(windowing, [&] { return GetFocus() == ToHwnd(picker->Handle()); }));

  // Enter and Escape are the control's: the form gets no dialog commands.
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
  windowing.ProcessMessages();
  EXPECT_EQ(formProcedure.Count(WM_COMMAND), 0);
}

}  // namespace
}  // namespace kelpo
