#include "framework/widgets/ComboBox.h"

#include <algorithm>

#include "framework/Application.h"

namespace kelpo {

TComboBox::TComboBox(TComponent* owner) : TWidgetControl(owner) {}

std::unique_ptr<WidgetPeer> TComboBox::CreatePeer(const WidgetParams& params) {
  auto peer = Application().Services().widgets.CreateComboBox(params, Style == TComboBoxStyle::csDropDown);
  peer->SetItems(items_);
  peer->SetItemIndex(ItemIndex());
  return peer;
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  itemIndex_ = -1;
  if (ComboPeer()) ComboPeer()->SetItems(items_);
}

int TComboBox::ItemIndex() const {
  if (ComboPeer()) return ComboPeer()->ItemIndex();
  return itemIndex_ >= 0 && itemIndex_ < static_cast<int>(items_.size()) ? itemIndex_ : -1;
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  itemIndex_ = index;
  if (ComboPeer()) ComboPeer()->SetItemIndex(index);
}

std::string TComboBox::Text() const {
  if (ComboPeer()) return ComboPeer()->Text();
  const int index = ItemIndex();
  return index >= 0 ? items_[index] : std::string();
}

void TComboBox::SetText(const std::string& text) {
  auto it = std::find(items_.begin(), items_.end(), text);
  SetItemIndex(it == items_.end() ? -1 : static_cast<int>(it - items_.begin()));
}

const PropertyTable& TComboBox::StaticProperties() {
  // Straight into the fields: the index is checked against the items once all are read.
  const auto setItems = [](TComboBox& combo, std::vector<std::string> items) { combo.items_ = std::move(items); };
  const auto setIndex = [](TComboBox& combo, int index) { combo.itemIndex_ = index; };
  static const PropertyTable table(TWidgetControl::StaticProperties(),
                                   {
                                       Property("Style", &TComboBox::Style, TComboBoxStyle::csDropDown),
                                       Property("Items.Strings", &TComboBox::Items, setItems),
                                       Property("ItemIndex", &TComboBox::ItemIndex, setIndex, -1),
                                       Ignored<int>("ItemHeight"),  // the system sizes the list
                                       Ignored<int>("DropDownCount"),
                                   });
  return table;
}

}  // namespace kelpo
