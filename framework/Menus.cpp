#include "framework/Menus.h"

#include <algorithm>
#include <utility>

#include "base/Exception.h"
#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/ImageList.h"

namespace kelpo {
namespace {

constexpr int SeparatorHeight = 9;
constexpr int TextPadding = 6;   // above and below the caption, together
constexpr int ImagePadding = 4;  // above and below the icon, together
constexpr int ColumnGap = 8;     // between the icon column and the caption
constexpr int RightMargin = 16;  // room for a submenu's arrow
constexpr int DefaultColumn = 16;

// The framework's side of one popup: the description handed to the platform,
// and the items behind its ids, which the platform asks to measure and paint.
class MenuTracking : public MenuDrawing {
 public:
  explicit MenuTracking(TPopupMenu& menu) : menu_(menu) {}

  std::vector<MenuItemSpec> Describe(const TMenuItem& parent) {
    std::vector<MenuItemSpec> specs;
    for (TMenuItem* item : parent.Items()) {
      items_.push_back(item);
      MenuItemSpec entry;
      entry.Id = static_cast<std::uint32_t>(items_.size());
      entry.Caption = item->Caption;
      entry.Separator = item->IsLine();
      entry.Default = item->ShownAsDefault();
      entry.OwnerDraw = menu_.OwnerDraw;
      const TImageList* images = menu_.Images();
      entry.Icon =
          !entry.OwnerDraw && !entry.Separator && images && item->ImageIndex >= 0 && item->ImageIndex < images->Count();
      entry.Items = Describe(*item);
      specs.push_back(std::move(entry));
    }
    return specs;
  }

  // The item behind an id, if it is still in the menu: a handler that ran
  // while the menu was open (a tick) may have freed it.
  TMenuItem* Item(std::uint32_t id) const {
    if (id < 1 || id > items_.size()) return nullptr;
    TMenuItem* item = items_[id - 1];
    return Holds(menu_.Items(), item) ? item : nullptr;
  }

  Size MeasureItem(std::uint32_t id, Surface& measuring) override {
    TMenuItem* item = Item(id);
    if (!item) return Size{};
    if (!menu_.OwnerDraw) {
      const TImageList* images = menu_.Images();
      return images ? Size{images->Width(), images->Height()} : Size{};
    }
    TCanvas canvas(measuring, Point{}, Rect{0, 0, measuring.Width(), measuring.Height()});
    int width = 0, height = 0;
    menu_.Application().Guard([&] { item->MeasureItem(canvas, width, height); });
    return Size{std::max(width, 0), std::max(height, 0)};
  }

  void DrawItem(std::uint32_t id, Surface& target, const Rect& area, bool selected) override {
    TMenuItem* item = Item(id);
    if (!item) return;
    // Menu-window coordinates, clipped to the item.
    TCanvas canvas(target, Point{-area.Left, -area.Top}, Rect{0, 0, target.Width(), target.Height()});
    if (menu_.OwnerDraw) {
      menu_.Application().Guard([&] { item->DrawItem(canvas, area, selected); });
    } else if (const TImageList* images = menu_.Images()) {
      images->Draw(canvas, area.Left + (area.Width - images->Width()) / 2,
                   area.Top + (area.Height - images->Height()) / 2, item->ImageIndex);
    }
  }

 private:
  static bool Holds(const TMenuItem& parent, const TMenuItem* wanted) {
    for (const TMenuItem* item : parent.Items())
      if (item == wanted || Holds(*item, wanted)) return true;
    return false;
  }

  TPopupMenu& menu_;
  std::vector<TMenuItem*> items_;  // by id - 1
};

}  // namespace

TMenuCaption ParseMenuCaption(const std::string& caption) {
  TMenuCaption parsed;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != '&' && parsed.Accelerator == std::string::npos) parsed.Accelerator = parsed.Shown.size();
    }
    parsed.Shown += caption[i];
  }
  return parsed;
}

// ---- TMenuItem ----

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : items_) item->parent_ = nullptr;
  if (parent_) parent_->Remove(this);
}

void TMenuItem::Add(TMenuItem* item) {
  if (!item || item == this) return;
  if (item->parent_) item->parent_->Remove(item);
  item->parent_ = this;
  items_.push_back(item);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
}

TPopupMenu* TMenuItem::Menu() const {
  const TMenuItem* root = this;
  while (root->parent_) root = root->parent_;
  return root->menu_;
}

const TImageList* TMenuItem::Images() const {
  const TPopupMenu* menu = Menu();
  return menu ? menu->Images() : nullptr;
}

bool TMenuItem::ShownAsDefault() const {
  if (!Default || IsLine()) return false;
  if (!parent_) return true;
  for (const TMenuItem* item : parent_->items_)
    if (item->Default && !item->IsLine()) return item == this;
  return false;
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  const MenuLook look = Application().Services().menus.Look();
  const TImageList* images = Images();
  const int column = images ? images->Width() : DefaultColumn;
  if (IsLine()) {
    width = column;
    height = SeparatorHeight;
  } else {
    FontSpec font = look.Font;
    font.Bold = ShownAsDefault();
    const Size text = canvas.TextExtent(ParseMenuCaption(Caption).Shown, font);
    width = ImagePadding / 2 + column + ColumnGap + text.Width + RightMargin;
    height = std::max(text.Height + TextPadding, (images ? images->Height() : 0) + ImagePadding);
  }
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas& canvas, const Rect& rect, bool selected) {
  if (OnDrawItem) {
    OnDrawItem(this, canvas, rect, selected);
    return;
  }
  const MenuLook look = Application().Services().menus.Look();
  if (IsLine()) {
    canvas.FillRect(rect, look.Background);
    const int y = rect.Top + rect.Height / 2 - 1;
    canvas.FillRect(Rect{rect.Left + 1, y, rect.Width - 2, 1}, look.Shadow);
    canvas.FillRect(Rect{rect.Left + 1, y + 1, rect.Width - 2, 1}, look.Highlight);
    return;
  }
  canvas.FillRect(rect, selected ? look.SelectedBackground : look.Background);
  const TImageList* images = Images();
  const int column = images ? images->Width() : DefaultColumn;
  if (images)
    images->Draw(canvas, rect.Left + ImagePadding / 2, rect.Top + (rect.Height - images->Height()) / 2, ImageIndex);

  FontSpec font = look.Font;
  font.Bold = ShownAsDefault();
  font.TextColor = selected ? look.SelectedText : look.Text;
  const TMenuCaption caption = ParseMenuCaption(Caption);
  const Size text = canvas.TextExtent(caption.Shown, font);
  const int x = rect.Left + ImagePadding / 2 + column + ColumnGap;
  const int y = rect.Top + (rect.Height - text.Height) / 2;
  canvas.TextOut(x, y, caption.Shown, font);
  if (caption.Accelerator != std::string::npos) {
    const int before = canvas.TextExtent(caption.Shown.substr(0, caption.Accelerator), font).Width;
    const int letter = canvas.TextExtent(caption.Shown.substr(caption.Accelerator, 1), font).Width;
    canvas.FillRect(Rect{x + before, y + text.Height - 2, letter, 1}, font.TextColor);
  }
}

const PropertyTable& TMenuItem::StaticProperties() {
  static const PropertyTable table(TComponent::StaticProperties(),
                                   {
                                       Property("Caption", &TMenuItem::Caption, std::string()),
                                       Property("Default", &TMenuItem::Default, false),
                                       Property("ImageIndex", &TMenuItem::ImageIndex, -1),
                                       Property("OnClick", &TMenuItem::OnClick),
                                       Property("OnMeasureItem", &TMenuItem::OnMeasureItem),
                                       Property("OnDrawItem", &TMenuItem::OnDrawItem),
                                   });
  return table;
}

bool TMenuItem::InsertLayoutChild(TComponent& child) {
  auto* item = dynamic_cast<TMenuItem*>(&child);
  if (!item) return false;
  Add(item);
  return true;
}

// ---- TPopupMenu ----

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {
  items_->menu_ = this;
}

void TPopupMenu::Popup(int x, int y) {
  std::uint32_t flags = TrackButton == TTrackButton::tbRightButton ? tpmRightButton : tpmLeftButton;
  if (Alignment == TPopupAlignment::paRight) flags |= tpmRightAlign;
  if (Alignment == TPopupAlignment::paCenter) flags |= tpmCenterAlign;
  Popup(x, y, flags);
}

void TPopupMenu::Popup(int x, int y, std::uint32_t trackFlags) {
  if (OnPopup) OnPopup(this);
  MenuTracking tracking(*this);
  const std::vector<MenuItemSpec> items = tracking.Describe(*items_);
  const std::uint32_t chosen = Application().Services().menus.TrackPopupMenu(items, Point{x, y}, trackFlags, tracking);
  if (TMenuItem* item = tracking.Item(chosen)) Application().Guard([&] { item->Click(); });
}

TMenuItem* TPopupMenu::DefaultItem() const {
  for (TMenuItem* item : items_->Items())
    if (item->Default) return item;
  return nullptr;
}

const PropertyTable& TPopupMenu::StaticProperties() {
  static const PropertyTable table(TComponent::StaticProperties(),
                                   {
                                       Property("OwnerDraw", &TPopupMenu::OwnerDraw, false),
                                       Property("AutoPopup", &TPopupMenu::AutoPopup, true),
                                       Property("Alignment", &TPopupMenu::Alignment, TPopupAlignment::paLeft),
                                       Property("TrackButton", &TPopupMenu::TrackButton, TTrackButton::tbRightButton),
                                       Property("Images", &TPopupMenu::Images, &TPopupMenu::SetImages, nullptr),
                                       Property("OnPopup", &TPopupMenu::OnPopup),
                                   });
  return table;
}

bool TPopupMenu::InsertLayoutChild(TComponent& child) {
  auto* item = dynamic_cast<TMenuItem*>(&child);
  if (!item) return false;
  items_->Add(item);
  return true;
}

}  // namespace kelpo
