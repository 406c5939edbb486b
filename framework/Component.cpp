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

void TComponent::InsertLayoutChild(TComponent&) {
  throw Exception(Name + " cannot hold other components");
}

bool TComponent::ReadProperty(const std::string& name, const LayoutValue& value, EventBinder&) {
  if (name == "Tag") {
    Tag = LayoutInteger(value, name);
    return true;
  }
  return false;
}

int LayoutInteger(const LayoutValue& value, const std::string& property) {
  if (value.Type != LayoutValue::Kind::Integer) throw Exception("Property " + property + " needs an integer");
  return static_cast<int>(value.Integer);
}

bool LayoutBoolean(const LayoutValue& value, const std::string& property) {
  std::string id = LayoutIdentifier(value, property);
  if (id == "True") return true;
  if (id == "False") return false;
  throw Exception("Property " + property + " needs True or False");
}

std::string LayoutString(const LayoutValue& value, const std::string& property) {
  if (value.Type != LayoutValue::Kind::String) throw Exception("Property " + property + " needs a string");
  return value.Text;
}

std::string LayoutIdentifier(const LayoutValue& value, const std::string& property) {
  if (value.Type != LayoutValue::Kind::Identifier) throw Exception("Property " + property + " needs an identifier");
  return value.Text;
}

}  // namespace kelpo
