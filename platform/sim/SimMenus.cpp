#include "platform/sim/SimMenus.h"

#include <algorithm>

namespace kelpo {
namespace {

constexpr int Border = 3;
constexpr int SeparatorHeight = 9;
constexpr int TextPadding = 6;
constexpr int IconPadding = 4;
constexpr int ColumnWidth = 24;  // check marks and icons, before the caption

// The caption as shown: accelerator marks removed, "&&" kept as one "&".
std::string ShownCaption(const std::string& caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

std::vector<SimMenuItem> ItemsOf(const std::vector<MenuItemSpec>& specs) {
  std::vector<SimMenuItem> items;
  for (const MenuItemSpec& entry : specs) {
    SimMenuItem item;
    item.Entry = entry;
    item.Entry.Items.clear();
    item.Items = ItemsOf(entry.Items);
    items.push_back(std::move(item));
  }
  return items;
}

}  // namespace

const SimMenuItem* SimMenuCall::Item(const std::vector<int>& path) const {
  const std::vector<SimMenuItem>* level = &Items;
  const SimMenuItem* item = nullptr;
  for (int position : path) {
    if (position < 0 || static_cast<std::size_t>(position) >= level->size()) return nullptr;
    item = &(*level)[static_cast<std::size_t>(position)];
    level = &item->Items;
  }
  return item;
}

SimMenuItem* SimMenuCall::Item(const std::vector<int>& path) {
  return const_cast<SimMenuItem*>(static_cast<const SimMenuCall*>(this)->Item(path));
}

std::string SimMenuCall::CaptionLine() const {
  std::string line;
  for (std::size_t i = 0; i < Items.size(); ++i) line += (i ? "|" : "") + Items[i].Entry.Caption;
  return line;
}

MenuLook SimMenus::Look() {
  MenuLook look;
  look.Font = FontSpec{"Tahoma", -11};
  look.Background = Rgb(240, 240, 240);
  look.Text = Rgb(0, 0, 0);
  look.SelectedBackground = Rgb(0, 120, 215);
  look.SelectedText = Rgb(255, 255, 255);
  look.Shadow = Rgb(160, 160, 160);
  look.Highlight = Rgb(255, 255, 255);
  return look;
}

void SimMenus::Paint(SimMenuItem& item, bool selected) {
  if (!item.Entry.OwnerDraw && !item.Entry.Icon) return;
  Rect area = item.Area;
  if (item.Entry.Icon && !item.Entry.OwnerDraw)  // the icon's place, before the caption
    area = Rect{area.Left + (ColumnWidth - item.Measured.Width) / 2,
                area.Top + (area.Height - item.Measured.Height) / 2, item.Measured.Width, item.Measured.Height};
  auto surface = std::make_shared<SimSurface>(std::max(area.Width, 0), std::max(area.Height, 0));
  item.Picture = surface;
  ++item.Paints;
  drawing_->DrawItem(item.Entry.Id, *surface, area, selected);
}

void SimMenus::ShowLevel(std::vector<SimMenuItem>& level) {
  SimSurface measuring(1, 1);
  const FontSpec font = Look().Font;
  int top = Border;
  int width = 0;
  for (SimMenuItem& item : level) {
    Size size;
    if (item.Entry.OwnerDraw) {
      item.Measured = drawing_->MeasureItem(item.Entry.Id, measuring);
      size = item.Measured;
    } else if (item.Entry.Separator) {
      size = Size{0, SeparatorHeight};
    } else {
      const Size text = measuring.MeasureText(ShownCaption(item.Entry.Caption), font);
      size = Size{ColumnWidth + text.Width + ColumnWidth, text.Height + TextPadding};
      if (item.Entry.Icon) {
        item.Measured = drawing_->MeasureItem(item.Entry.Id, measuring);
        size.Height = std::max(size.Height, item.Measured.Height + IconPadding);
      }
    }
    item.Area = Rect{Border, top, size.Width, size.Height};
    top += size.Height;
    width = std::max(width, size.Width);
  }
  // Every item of a menu is as wide as its widest one.
  for (SimMenuItem& item : level) item.Area.Width = width;
  for (SimMenuItem& item : level) Paint(item, false);
}

void SimMenus::Highlight(const std::vector<int>& path) {
  if (!open_) return;
  if (SimMenuItem* previous = open_->Item(highlighted_)) Paint(*previous, false);
  highlighted_.clear();
  for (int position : path) {
    highlighted_.push_back(position);
    SimMenuItem* item = open_->Item(highlighted_);
    if (!item) return;
    if (highlighted_.size() < path.size() && !item->Shown && !item->Items.empty()) {
      item->Shown = true;
      ShowLevel(item->Items);
    }
  }
  if (SimMenuItem* item = open_->Item(highlighted_)) Paint(*item, true);
}

std::uint32_t SimMenus::Resolve(const SimMenuChoice& choice) {
  std::vector<int> path = choice.Positions;
  if (choice.How == SimMenuChoice::Kind::Caption) {
    path.clear();
    const std::vector<SimMenuItem>* level = &open_->Items;
    for (const std::string& caption : choice.Captions) {
      auto it = std::find_if(level->begin(), level->end(),
                             [&](const SimMenuItem& item) { return item.Entry.Caption == caption; });
      if (it == level->end()) return 0;
      path.push_back(static_cast<int>(it - level->begin()));
      level = &it->Items;
    }
  } else if (choice.How == SimMenuChoice::Kind::Cancel) {
    return 0;
  }
  // The user goes there: the submenus on the way show, the item is highlighted.
  Highlight(path);
  const SimMenuItem* item = open_->Item(path);
  if (!item || item->Entry.Separator || !item->Items.empty()) return 0;
  return item->Entry.Id;
}

std::uint32_t SimMenus::TrackPopupMenu(const std::vector<MenuItemSpec>& items, Point at, std::uint32_t flags,
                                       MenuDrawing& drawing) {
  if (open_) return 0;  // one popup menu at a time, as on Windows
  SimMenuCall call;
  call.Items = ItemsOf(items);
  call.At = at;
  call.Flags = flags;
  drawing_ = &drawing;
  open_ = &call;
  highlighted_.clear();
  struct Close {
    SimMenus& menus;
    ~Close() {
      menus.open_ = nullptr;
      menus.drawing_ = nullptr;
    }
  } close{*this};

  ShowLevel(call.Items);
  // The menu's modal loop runs: what is waiting is dispatched; a quit ends the menu.
  windowing_.ProcessMessages();
  if (!windowing_.QuitPending()) {
    SimMenuChoice choice;
    if (!script_.empty()) {
      Responder responder = std::move(script_.front());
      script_.pop_front();
      choice = responder(call);
    }
    if (!windowing_.QuitPending()) call.Answer = Resolve(choice);
  }
  shown_.push_back(call);
  return call.Answer;
}

}  // namespace kelpo
