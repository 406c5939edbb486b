#pragma once
// Components: named objects with an owner that frees them, published
// properties read from window layouts, and events wired by handler name.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/LayoutReader.h"
#include "platform/Types.h"

namespace kelpo {

class TApplication;
class TCanvas;
class TComponent;

using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, int x, int y)>;
// Owner-drawn menu items: the size (in-out) and the picture.
using TMenuMeasureItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, const Rect& rect, bool selected)>;

// Resolves the handler names a layout wires to events (the form's methods).
class EventBinder {
 public:
  virtual ~EventBinder() = default;
  virtual TNotifyEvent NotifyHandler(const std::string& name) = 0;
  virtual TMouseEvent MouseHandler(const std::string& name) = 0;
  virtual TMenuMeasureItemEvent MeasureItemHandler(const std::string& name) = 0;
  virtual TMenuDrawItemEvent DrawItemHandler(const std::string& name) = 0;
};

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

  // Reads one published property from a layout; false when the name is unknown.
  virtual bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events);
  // Called on every component of a layout once the whole layout has been read.
  virtual void LayoutLoaded() {}
  // Takes a component that the layout nests inside this one (a control into
  // a panel, an item into a menu); throws when this one holds none of its kind.
  virtual void InsertLayoutChild(TComponent& child);

 protected:
  // Frees the owned components, the last created first.
  void DestroyComponents();

 private:
  TComponent* owner_ = nullptr;
  TApplication* application_ = nullptr;
  std::vector<TComponent*> components_;
};

// Helpers for ReadProperty implementations.
int LayoutInteger(const LayoutValue& value, const std::string& property);
bool LayoutBoolean(const LayoutValue& value, const std::string& property);
std::string LayoutString(const LayoutValue& value, const std::string& property);
std::string LayoutIdentifier(const LayoutValue& value, const std::string& property);

}  // namespace kelpo
