#include "framework/Component.h"

#include <algorithm>

#include "base/Exception.h"

namespace kelpo {

TComponent::TComponent(TComponent* owner) : owner_(owner), application_(owner ? owner->application_ : nullptr) {
  if (!owner) throw Exception("A component needs an owner or the application");
  owner->components_.push_back(this);
}

TComponent::TComponent(TApplication& application) : application_(&application) {}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_) {
    auto& siblings = owner_->components_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) delete components_.back();  // each removes itself from the list
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : components_)
    if (c->Name == name) return c;
  return nullptr;
}

const PropertyTable& TComponent::StaticProperties() {
  static const PropertyTable table{
      Property("Tag", &TComponent::Tag, 0),
  };
  return table;
}

}  // namespace kelpo
