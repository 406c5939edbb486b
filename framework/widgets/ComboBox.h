#pragma once
// A drop-down list of texts; csDropDownList cannot be typed into.

#include <string>
#include <vector>

#include "framework/widgets/WidgetControl.h"

namespace kelpo {

enum class TComboBoxStyle { csDropDown, csDropDownList };
template <>
struct EnumIdentifiers<TComboBoxStyle> {
  static constexpr EnumName<TComboBoxStyle> Names[] = {{"csDropDown", TComboBoxStyle::csDropDown},
                                                       {"csDropDownList", TComboBoxStyle::csDropDownList}};
};

class TComboBox : public TWidgetControl {
 public:
  explicit TComboBox(TComponent* owner);

  TComboBoxStyle Style = TComboBoxStyle::csDropDown;
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(const std::vector<std::string>& items);
  // The selected position, -1 for none. Setting it runs no OnChange.
  int ItemIndex() const;
  void SetItemIndex(int index);
  // The text shown: the selected item's, or what was typed.
  std::string Text() const;
  // Selects the item with exactly this text, or nothing.
  void SetText(const std::string& text);

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }

 protected:
  std::unique_ptr<WidgetPeer> CreatePeer(const WidgetParams& params) override;

 private:
  ComboBoxPeer* ComboPeer() const { return static_cast<ComboBoxPeer*>(Peer()); }
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};

}  // namespace kelpo
