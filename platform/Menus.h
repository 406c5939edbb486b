#pragma once
// Popup menus shown modally at a screen point (TrackPopupMenu). The menu is
// described afresh for every popup; items that the system does not draw by
// itself (owner-drawn items, and the icons of the others) are measured and
// painted by the caller through MenuDrawing.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Graphics.h"
#include "platform/Types.h"

namespace kelpo {

// TrackPopupMenu flags (Windows values): horizontal and vertical placement
// against the point, and the mouse button that chooses items.
constexpr std::uint32_t tpmLeftButton = 0x0000;
constexpr std::uint32_t tpmRightButton = 0x0002;
constexpr std::uint32_t tpmLeftAlign = 0x0000;
constexpr std::uint32_t tpmCenterAlign = 0x0004;
constexpr std::uint32_t tpmRightAlign = 0x0008;
constexpr std::uint32_t tpmTopAlign = 0x0000;
constexpr std::uint32_t tpmVCenterAlign = 0x0010;
constexpr std::uint32_t tpmBottomAlign = 0x0020;

struct MenuItemSpec {
  // Nonzero and unique within the menu; a chosen item's Id is the answer.
  std::uint32_t Id = 0;
  std::string Caption;  // '&' marks the accelerator letter, "&&" is an ampersand
  bool Separator = false;
  bool Default = false;             // shown as the menu's default item (bold)
  bool OwnerDraw = false;           // measured and painted whole by MenuDrawing
  bool Icon = false;                // the system draws the item; MenuDrawing paints its icon
  std::vector<MenuItemSpec> Items;  // a submenu
};

// Colours and font of the system's menus, for items the program draws.
struct MenuLook {
  FontSpec Font;
  Color Background = 0;
  Color Text = 0;
  Color SelectedBackground = 0;
  Color SelectedText = 0;
  Color Shadow = 0;     // the dark line of separators
  Color Highlight = 0;  // the light line of separators
};

class MenuDrawing {
 public:
  virtual ~MenuDrawing() = default;
  // The size of an owner-drawn item, or of an item's icon. `measuring`
  // measures text as the menu's surfaces do.
  virtual Size MeasureItem(std::uint32_t id, Surface& measuring) = 0;
  // Paints an owner-drawn item, or an item's icon. `target` covers `area` of
  // the menu window (menu-window coordinates) and holds what the system
  // drew there before.
  virtual void DrawItem(std::uint32_t id, Surface& target, const Rect& area, bool selected) = 0;
};

class Menus {
 public:
  virtual ~Menus() = default;
  // Shows the menu at a screen point and runs its modal loop, in which window
  // messages and timer ticks keep being dispatched. Returns the Id of the
  // chosen item when the menu has closed, or 0 when it closed without a
  // choice (or could not open: one menu at a time).
  virtual std::uint32_t TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at, std::uint32_t flags,
                                       MenuDrawing& drawing) = 0;
  virtual MenuLook Look() = 0;
};

}  // namespace kelpo
