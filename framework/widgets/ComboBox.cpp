#include "framework/widgets/ComboBox.h"

#include <algorithm>

#include "base/Exception.h"
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

bool TComboBox::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) {
  if (name == "Style") {
    std::string id = LayoutIdentifier(value, name);
    if (id == "csDropDownList")
      Style = TComboBoxStyle::csDropDownList;
    else if (id == "csDropDown")
      Style = TComboBoxStyle::csDropDown;
    else
      throw Exception("Unknown combo box style " + id);
  } else if (name == "Items.Strings") {
    if (value.Type != LayoutValue::Kind::StringList) throw Exception("Property Items.Strings needs a string list");
    items_ = value.Items;
  } else if (name == "ItemIndex") {
    itemIndex_ = LayoutInteger(value, name);  // checked against the items once all are read
  } else if (name == "ItemHeight" || name == "DropDownCount") {
    LayoutInteger(value, name);  // the system sizes the list
  } else {
    return TWidgetControl::ReadProperty(name, value, events);
  }
  return true;
}

}  // namespace kelpo
