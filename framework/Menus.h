#pragma once
// Popup menus: TPopupMenu holds a tree of TMenuItem (captions with '&'
// accelerators, "-" separators, submenus, a default item, icons from an image
// list, owner-drawn items) and shows it modally at a screen point. The chosen
// item's OnClick has run when Popup returns; window messages and timer ticks
// keep being dispatched while the menu is open.
//
// In a layout the items nest inside their menu and inside each other; the
// form owns them all, so handlers find them by name:
//
//   object PopupMenu1: TPopupMenu
//     Images = ImageList1
//     object Item1: TMenuItem
//       Caption = '&Open'
//       Default = True
//       ImageIndex = 2
//       OnClick = Item1Click
//     end
//   end

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "platform/Menus.h"

namespace kelpo {

class TCanvas;
class TImageList;
class TPopupMenu;

// Owner-drawn menu items: the size (in-out) and the picture.
using TMenuMeasureItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, const Rect& rect, bool selected)>;

// A caption as shown: the '&' marks gone ("&&" shows one '&') and the
// position of the accelerator letter in the shown text, if any.
struct TMenuCaption {
  std::string Shown;
  std::size_t Accelerator = std::string::npos;
};
TMenuCaption ParseMenuCaption(const std::string& caption);

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* owner);
  // Leaves its parent; its own items stay with their owner.
  ~TMenuItem() override;

  std::string Caption;
  bool Default = false;
  int ImageIndex = -1;
  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

  bool IsLine() const { return Caption == "-"; }
  const std::vector<TMenuItem*>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Parent() const { return parent_; }
  // Appends `item` to this item's submenu, taking it from its old parent.
  void Add(TMenuItem* item);
  void Remove(TMenuItem* item);
  // The popup menu whose tree holds this item, or null.
  TPopupMenu* Menu() const;
  // A menu shows one default item: the first of its items marked Default.
  bool ShownAsDefault() const;

  // What choosing the item does: runs OnClick.
  virtual void Click();
  // Owner-drawn items: the size, from the standard one through OnMeasureItem,
  // and the picture, OnDrawItem's or else the standard one (caption with its
  // underlined accelerator, separator line, default item bold, icon).
  virtual void MeasureItem(TCanvas& canvas, int& width, int& height);
  virtual void DrawItem(TCanvas& canvas, const Rect& rect, bool selected);

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  bool InsertLayoutChild(TComponent& child) override;

 private:
  friend class TPopupMenu;
  const TImageList* Images() const;

  TMenuItem* parent_ = nullptr;
  TPopupMenu* menu_ = nullptr;  // only on a menu's root item
  std::vector<TMenuItem*> items_;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
enum class TTrackButton { tbRightButton, tbLeftButton };

template <>
struct EnumIdentifiers<TPopupAlignment> {
  static constexpr EnumName<TPopupAlignment> Names[] = {{"paLeft", TPopupAlignment::paLeft},
                                                        {"paRight", TPopupAlignment::paRight},
                                                        {"paCenter", TPopupAlignment::paCenter}};
};
template <>
struct EnumIdentifiers<TTrackButton> {
  static constexpr EnumName<TTrackButton> Names[] = {{"tbRightButton", TTrackButton::tbRightButton},
                                                     {"tbLeftButton", TTrackButton::tbLeftButton}};
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);

  // The top-level items are this root item's.
  TMenuItem& Items() const { return *items_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images) { images_ = images; }
  bool OwnerDraw = false;
  // Whether controls and tray icons open the menu by themselves (context menu).
  bool AutoPopup = true;
  TPopupAlignment Alignment = TPopupAlignment::paLeft;
  TTrackButton TrackButton = TTrackButton::tbRightButton;
  // The control (or tray icon) that opened the menu last.
  TComponent* PopupComponent = nullptr;
  TNotifyEvent OnPopup;

  // Shows the menu at a screen point, placed by Alignment, chosen with
  // TrackButton; returns when it has closed and the chosen item's OnClick
  // has run (an error there goes to the default error handler).
  void Popup(int x, int y);
  // The same with the platform's TrackPopupMenu flags (tpmLeftAlign, ...).
  void Popup(int x, int y, std::uint32_t trackFlags);
  // The lowest-positioned top-level item marked default, or null.
  TMenuItem* DefaultItem() const;

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  bool InsertLayoutChild(TComponent& child) override;

 private:
  TMenuItem* items_;
  TImageList* images_ = nullptr;
};

}  // namespace kelpo
