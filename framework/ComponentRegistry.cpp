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
namespace {

template <class T>
ComponentMaker Maker() {
  return [](TComponent* owner) -> TComponent* { return new T(owner); };
}

}  // namespace

ComponentRegistry::ComponentRegistry() {
  makers_["TPanel"] = Maker<TPanel>();
  makers_["TImage"] = Maker<TImage>();
  makers_["TLabel"] = Maker<TLabel>();
  makers_["TTimer"] = Maker<TTimer>();
  makers_["TPopupMenu"] = Maker<TPopupMenu>();
  makers_["TMenuItem"] = Maker<TMenuItem>();
  makers_["TImageList"] = Maker<TImageList>();
  makers_["TSpinEdit"] = Maker<TSpinEdit>();
  makers_["TComboBox"] = Maker<TComboBox>();
  makers_["TDateTimePicker"] = Maker<TDateTimePicker>();
}

ComponentRegistry& ComponentRegistry::Instance() {
  static ComponentRegistry registry;
  return registry;
}

void ComponentRegistry::Register(const std::string& className, ComponentMaker maker) {
  makers_[className] = std::move(maker);
}

TComponent* ComponentRegistry::Create(const std::string& className, TComponent* owner) const {
  auto it = makers_.find(className);
  if (it == makers_.end()) throw Exception("Class " + className + " not found");
  return it->second(owner);
}

}  // namespace kelpo
