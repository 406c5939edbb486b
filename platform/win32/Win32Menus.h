#pragma once
// Popup menus as real menus (CreatePopupMenu, InsertMenuItemA,
// TrackPopupMenu with TPM_RETURNCMD). Their owner is a hidden window of this
// service, which answers the menu's WM_MEASUREITEM and WM_DRAWITEM for the
// items the program draws: owner-drawn items whole, and the icons of the
// others through a bitmap callback (HBMMENU_CALLBACK), so that the system
// draws their caption, accelerator, separators and the default item (bold,
// SetMenuDefaultItem). It also answers WM_MENUCHAR with the accelerators of
// owner-drawn items, whose text the system does not know.

#include <exception>
#include <map>
#include <memory>

#include "platform/Menus.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Graphics.h"

namespace kelpo {

class Win32Menus : public Menus {
 public:
  explicit Win32Menus(Win32Graphics& graphics);
  Win32Menus(const Win32Menus&) = delete;
  Win32Menus& operator=(const Win32Menus&) = delete;
  ~Win32Menus() override;

  std::uint32_t TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at, std::uint32_t flags,
                               MenuDrawing& drawing) override;
  MenuLook Look() override;

  // The hidden window that owns the menus.
  HWND OwnerWindow() const { return owner_; }

 private:
  // The menu being tracked.
  struct Tracking {
    MenuDrawing* Drawing;
    std::unique_ptr<Win32Surface> Measuring;
    std::map<std::uint32_t, const MenuItemSpec*> Items;        // by Id
    std::map<HMENU, const std::vector<MenuItemSpec>*> Levels;  // each menu window's items
  };

  static LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HMENU Build(const std::vector<MenuItemSpec>& items, Tracking& tracking);
  LRESULT MenuChar(char letter, HMENU menu);

  Win32Graphics& graphics_;
  HWND owner_ = nullptr;
  Tracking* tracking_ = nullptr;
  std::exception_ptr pending_;
};

}  // namespace kelpo
