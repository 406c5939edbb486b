#pragma once
// Forms: top-level windows built from a layout, with creation, destruction
// and close-query events, and the handler table the layout wires events to.

#include <map>
#include <string>

#include "base/Exception.h"
#include "framework/Control.h"

namespace kelpo {

enum class TPosition { poDesigned, poDesktopCenter };

class TForm : public TWinControl, public EventBinder {
 public:
  explicit TForm(TApplication& application);
  ~TForm() override;

  std::string Caption;
  TPosition Position = TPosition::poDesigned;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  std::function<void(TComponent* sender, bool& canClose)> OnCloseQuery;

  // Asks OnCloseQuery; then closing the main form ends the application and
  // closing any other form hides it.
  void Close();
  void SetVisible(bool visible) override;
  // Runs OnDestroy and frees the components, once. A derived form whose
  // handlers OnDestroy reaches calls it from its own destructor, while the
  // handlers still exist.
  void BeforeDestruction();
  void BringToFront();

  TNotifyEvent NotifyHandler(const std::string& name) override;
  TMouseEvent MouseHandler(const std::string& name) override;
  TMenuMeasureItemEvent MeasureItemHandler(const std::string& name) override;
  TMenuDrawItemEvent DrawItemHandler(const std::string& name) override;
  bool ReadProperty(const std::string& name, const LayoutValue& value, EventBinder& events) override;

 protected:
  // Builds the form from an embedded layout: components are created and read,
  // every component is told LayoutLoaded, the windows are created, OnCreate
  // runs (an error there is shown and the form still appears), and the form
  // is shown when the layout says it is visible.
  void CreateFromLayout(const std::string& resourceName);
  void CreateFromLayout(const LayoutNode& root);
  // The window class name the system sees (for example "TMainForm").
  virtual std::string WindowClassName() const = 0;

  void AddHandler(const std::string& name, TNotifyEvent handler) { notifyHandlers_[name] = std::move(handler); }
  void AddMouseHandler(const std::string& name, TMouseEvent handler) { mouseHandlers_[name] = std::move(handler); }
  void AddMeasureItemHandler(const std::string& name, TMenuMeasureItemEvent handler) {
    measureItemHandlers_[name] = std::move(handler);
  }
  void AddDrawItemHandler(const std::string& name, TMenuDrawItemEvent handler) {
    drawItemHandlers_[name] = std::move(handler);
  }
  void AddCloseQueryHandler(const std::string& name, std::function<void(TComponent*, bool&)> handler) {
    closeQueryHandlers_[name] = std::move(handler);
  }
  template <class T>
  T* Bind(const std::string& name) {
    T* component = dynamic_cast<T*>(FindComponent(name));
    if (!component) throw Exception("The layout of " + Name + " has no " + name);
    return component;
  }

  WindowParams CreateParams() override;
  bool WindowProc(Message& m) override;

 private:
  void ReadChildren(const LayoutNode& node, TComponent& container);
  static void ReadProperties(TComponent& component, const LayoutNode& node, EventBinder& events);

  std::map<std::string, TNotifyEvent> notifyHandlers_;
  std::map<std::string, TMouseEvent> mouseHandlers_;
  std::map<std::string, TMenuMeasureItemEvent> measureItemHandlers_;
  std::map<std::string, TMenuDrawItemEvent> drawItemHandlers_;
  std::map<std::string, std::function<void(TComponent*, bool&)>> closeQueryHandlers_;
  bool destroying_ = false;
};

}  // namespace kelpo
