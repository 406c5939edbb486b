#pragma once
// Components: named objects with an owner that frees them, published
// properties read from window layouts (framework/Properties.h), and events
// wired by handler name (framework/Handlers.h).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Properties.h"

namespace kelpo {

class TApplication;
class TComponent;

using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, int x, int y)>;

class TComponent {
 public:
  // The owner frees this component when it is destroyed; components without an
  // owner must be given the application.
  explicit TComponent(TComponent* owner);
  explicit TComponent(TApplication& application);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  std::string Name;
  int Tag = 0;

  TComponent* Owner() const { return owner_; }
  TApplication& Application() const { return *application_; }
  const std::vector<TComponent*>& Components() const { return components_; }
  TComponent* FindComponent(const std::string& name) const;

  // The published properties of the class: each class with properties of its
  // own has a StaticProperties() chained to its base's and overrides this.
  static const PropertyTable& StaticProperties();
  virtual const PropertyTable& Properties() const { return StaticProperties(); }
  // Takes a component that a layout nests inside this one's object; false
  // when this component holds no others.
  virtual bool InsertLayoutChild(TComponent&) { return false; }
  // Called on every component of a layout once the whole layout has been read.
  virtual void LayoutLoaded() {}

 protected:
  // Frees the owned components, the last created first.
  void DestroyComponents();

 private:
  TComponent* owner_ = nullptr;
  TApplication* application_ = nullptr;
  std::vector<TComponent*> components_;
};

}  // namespace kelpo
