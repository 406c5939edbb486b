#include "platform/win32/Win32Menus.h"

#include <cctype>
#include <utility>

#include "base/Exception.h"
#include "platform/win32/Win32ServiceWindow.h"

namespace kelpo {
namespace {

constexpr const char* kOwnerClassName = "KelpoMenuOwner";

// The accelerator letter of a caption (after a single '&'), or 0.
char AcceleratorOf(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption[i + 1];
    ++i;
  }
  return 0;
}

}  // namespace

Win32Menus::Win32Menus(Win32Graphics& graphics) : graphics_(graphics) {
  // A hidden top-level window, as menus need an owner that can be foreground.
  owner_ = CreateServiceWindow(kOwnerClassName, &Win32Menus::OwnerProc, WS_EX_TOOLWINDOW, WS_POPUP, nullptr, this);
}

Win32Menus::~Win32Menus() {
  SetWindowLongPtrA(owner_, GWLP_USERDATA, 0);
  DestroyWindow(owner_);
}

HMENU Win32Menus::Build(const std::vector<MenuItemSpec>& items, Tracking& tracking) {
  HMENU menu = CreatePopupMenu();
  if (!menu) throw Exception("Cannot create a menu");
  tracking.Levels[menu] = &items;
  UINT position = 0;
  bool defaultSet = false;
  for (const MenuItemSpec& item : items) {
    tracking.Items[item.Id] = &item;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
    info.wID = item.Id;
    info.dwItemData = item.Id;
    info.fType = item.Separator ? MFT_SEPARATOR : MFT_STRING;
    if (item.OwnerDraw) {
      info.fType |= MFT_OWNERDRAW;
    } else if (!item.Separator) {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = const_cast<char*>(item.Caption.c_str());
      if (item.Icon) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = HBMMENU_CALLBACK;
      }
    }
    if (!item.Items.empty()) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = Build(item.Items, tracking);
    }
    InsertMenuItemA(menu, position, TRUE, &info);
    if (item.Default && !defaultSet) defaultSet = SetMenuDefaultItem(menu, position, TRUE) != FALSE;
    ++position;
  }
  return menu;
}

std::uint32_t Win32Menus::TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at, std::uint32_t flags,
                                         MenuDrawing& drawing) {
  if (tracking_) return 0;  // one popup menu at a time
  Tracking tracking{&drawing, graphics_.CreateWin32Surface(1, 1), {}, {}};
  HMENU menu = Build(items, tracking);
  tracking_ = &tracking;
  const BOOL chosen = ::TrackPopupMenu(menu, flags | TPM_RETURNCMD, at.X, at.Y, 0, owner_, nullptr);
  tracking_ = nullptr;
  DestroyMenu(menu);  // and its submenus
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
  return chosen > 0 ? static_cast<std::uint32_t>(chosen) : 0;
}

MenuLook Win32Menus::Look() {
  MenuLook look;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
    const LOGFONTA& font = metrics.lfMenuFont;
    look.Font.Name = font.lfFaceName;
    look.Font.Height = font.lfHeight;
    look.Font.Bold = font.lfWeight >= FW_BOLD;
    look.Font.Italic = font.lfItalic != 0;
  }
  look.Background = GetSysColor(COLOR_MENU);
  look.Text = GetSysColor(COLOR_MENUTEXT);
  look.SelectedBackground = GetSysColor(COLOR_HIGHLIGHT);
  look.SelectedText = GetSysColor(COLOR_HIGHLIGHTTEXT);
  look.Shadow = GetSysColor(COLOR_BTNSHADOW);
  look.Highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  look.Font.TextColor = look.Text;
  return look;
}

LRESULT Win32Menus::MenuChar(char letter, HMENU menu) {
  auto level = tracking_->Levels.find(menu);
  if (level == tracking_->Levels.end()) return MAKELRESULT(0, MNC_IGNORE);
  const std::vector<MenuItemSpec>& items = *level->second;
  const int wanted = std::tolower(static_cast<unsigned char>(letter));
  for (std::size_t i = 0; i < items.size(); ++i) {
    const char accelerator = AcceleratorOf(items[i].Caption);
    if (!items[i].OwnerDraw || !accelerator || std::tolower(static_cast<unsigned char>(accelerator)) != wanted)
      continue;
    return MAKELRESULT(i, items[i].Items.empty() ? MNC_EXECUTE : MNC_SELECT);
  }
  return MAKELRESULT(0, MNC_IGNORE);
}

LRESULT Win32Menus::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_MENU) break;
      const Size size =
          tracking_->Drawing->MeasureItem(static_cast<std::uint32_t>(measure->itemData), *tracking_->Measuring);
      measure->itemWidth = static_cast<UINT>(size.Width);
      measure->itemHeight = static_cast<UINT>(size.Height);
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType != ODT_MENU) break;
      const RECT& rc = draw->rcItem;
      const int width = rc.right - rc.left, height = rc.bottom - rc.top;
      if (width <= 0 || height <= 0) return TRUE;
      // The program paints over what the system drew there (the background, the highlight).
      std::unique_ptr<Win32Surface> surface = graphics_.CreateWin32Surface(width, height);
      BitBlt(surface->DC(), 0, 0, width, height, draw->hDC, rc.left, rc.top, SRCCOPY);
      tracking_->Drawing->DrawItem(static_cast<std::uint32_t>(draw->itemData), *surface,
                                   Rect{rc.left, rc.top, width, height}, (draw->itemState & ODS_SELECTED) != 0);
      GdiFlush();
      BitBlt(draw->hDC, rc.left, rc.top, width, height, surface->DC(), 0, 0, SRCCOPY);
      return TRUE;
    }
    case WM_MENUCHAR:
      return MenuChar(static_cast<char>(LOWORD(wParam)), reinterpret_cast<HMENU>(lParam));
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Menus::OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* menus = reinterpret_cast<Win32Menus*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!menus || !menus->tracking_) return DefWindowProcA(hwnd, msg, wParam, lParam);
  try {
    return menus->HandleMessage(hwnd, msg, wParam, lParam);
  } catch (...) {
    // Kept and thrown again once TrackPopupMenu returns, outside the system's code.
    if (!menus->pending_) menus->pending_ = std::current_exception();
    return msg == WM_MENUCHAR ? MAKELRESULT(0, MNC_CLOSE) : TRUE;
  }
}

}  // namespace kelpo
