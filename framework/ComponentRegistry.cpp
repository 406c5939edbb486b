#include "framework/ComponentRegistry.h"

#include "base/Exception.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/StdControls.h"
#include "framework/Timer.h"
#include "framework/widgets/ComboBox.h"
#include "framework/widgets/DateTimePicker.h"
#include "framework/widgets/SpinEdit.h"

namespace kelpo {

ComponentRegistry::ComponentRegistry() {
  Register<TPanel>("TPanel");
  Register<TImage>("TImage");
  Register<TLabel>("TLabel");
  Register<TTimer>("TTimer");
  Register<TPopupMenu>("TPopupMenu");
  Register<TMenuItem>("TMenuItem");
  Register<TImageList>("TImageList");
  Register<TSpinEdit>("TSpinEdit");
  Register<TComboBox>("TComboBox");
  Register<TDateTimePicker>("TDateTimePicker");
}

ComponentRegistry& ComponentRegistry::Instance() {
  static ComponentRegistry registry;
  return registry;
}

void ComponentRegistry::Register(const std::string& className, ComponentMaker maker) {
  makers_[className] = std::move(maker);
}

std::vector<std::string> ComponentRegistry::ClassNames() const {
  std::vector<std::string> names;
  for (const auto& [name, maker] : makers_) names.push_back(name);
  return names;
}

TComponent* ComponentRegistry::Create(const std::string& className, TComponent* owner) const {
  auto it = makers_.find(className);
  if (it == makers_.end()) throw Exception("Class " + className + " not found");
  return it->second(owner);
}

}  // namespace kelpo
