#pragma once
// Popup menus as state, answered by a test's script the way message boxes
// are (SimDialogs). While a menu is open its items are visible to tests, with
// the sizes and pictures of the items the program measures and paints (an
// owner-drawn item, or the icon of an item) as the system would ask for them
// when the menu shows. The modal loop first dispatches what is waiting; a
// script may then let virtual time run, and ticks keep arriving.
//
// Items are laid out top down from (3, 3) of their menu's window; items the
// system draws are as high as their caption's text plus 6 pixels (separators
// 9 pixels), at least the height of their icon plus 4.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Menus.h"
#include "platform/sim/SimGraphics.h"
#include "platform/sim/SimWindowing.h"

namespace kelpo {

struct SimMenuItem {
  MenuItemSpec Entry;
  Rect Area;                            // in the menu window, once its menu has shown
  Size Measured;                        // what MenuDrawing answered (owner-drawn items and icons)
  std::shared_ptr<SimSurface> Picture;  // what MenuDrawing painted last
  int Paints = 0;
  std::vector<SimMenuItem> Items;
  bool Shown = false;  // this item's submenu has shown
};

struct SimMenuCall {
  std::vector<SimMenuItem> Items;
  Point At;
  std::uint32_t Flags = 0;
  std::uint32_t Answer = 0;  // the chosen item's Id, 0 for none

  // The item at a position path ({4, 2}: the third item of the fifth item's submenu); null when absent.
  const SimMenuItem* Item(const std::vector<int>& path) const;
  SimMenuItem* Item(const std::vector<int>& path);
  // The captions of the top-level items, joined by "|".
  std::string CaptionLine() const;
};

// How a script answers an open menu.
struct SimMenuChoice {
  enum class Kind { Cancel, Position, Caption };
  Kind How = Kind::Cancel;
  std::vector<int> Positions;         // top level first
  std::vector<std::string> Captions;  // as shown, with their '&'

  static SimMenuChoice Cancel() { return {}; }
  static SimMenuChoice ByPosition(std::vector<int> path) { return {Kind::Position, std::move(path), {}}; }
  static SimMenuChoice ByCaption(std::vector<std::string> path) { return {Kind::Caption, {}, std::move(path)}; }
};

class SimMenus : public Menus {
 public:
  using Responder = std::function<SimMenuChoice(SimMenuCall& menu)>;

  explicit SimMenus(SimWindowing& windowing) : windowing_(windowing) {}

  // Choosing an item that is not a command (a separator, a submenu's parent)
  // closes the menu without a choice, as the user dismissing it after that.
  std::uint32_t TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at, std::uint32_t flags,
                               MenuDrawing& drawing) override;
  MenuLook Look() override;

  // The next menu shown is answered by this responder (in the order queued);
  // a menu shown with none queued is cancelled.
  void Expect(Responder responder) { script_.push_back(std::move(responder)); }
  void ExpectChoice(SimMenuChoice choice) {
    Expect([choice](SimMenuCall&) { return choice; });
  }
  // The menu open now (inside a responder), or null.
  SimMenuCall* Open() { return open_; }
  // Moves the highlight of the open menu to the item at `path`, as the mouse
  // does: a submenu on the way shows, and the items whose highlight changes
  // are painted again.
  void Highlight(const std::vector<int>& path);
  const std::vector<SimMenuCall>& Shown() const { return shown_; }
  std::size_t PendingResponders() const { return script_.size(); }

 private:
  void ShowLevel(std::vector<SimMenuItem>& level);
  void Paint(SimMenuItem& item, bool selected);
  std::uint32_t Resolve(const SimMenuChoice& choice);

  SimWindowing& windowing_;
  MenuDrawing* drawing_ = nullptr;
  SimMenuCall* open_ = nullptr;
  std::vector<int> highlighted_;
  std::deque<Responder> script_;
  std::vector<SimMenuCall> shown_;
};

}  // namespace kelpo
