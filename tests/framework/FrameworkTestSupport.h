#pragma once
// The application object on the simulated platform, and a form that tests
// build from an inline layout.

#include <memory>
#include <string>
#include <vector>

#include "base/Exception.h"
#include "framework/Application.h"
#include "framework/Form.h"
#include "platform/sim/Regions.h"
#include "platform/sim/SimPlatform.h"

namespace kelpo {

class TTestForm : public TForm {
 public:
  explicit TTestForm(TApplication& application) : TForm(application) {}

  // Handlers of any shape (lambdas), added before Load, which wires them by name.
  template <class F>
  void AddHandler(const std::string& name, F handler) {
    handlers_.Add(Handler(name, std::move(handler)));
  }
  const HandlerTable& Handlers() const override { return handlers_; }

  void Load(const std::string& layout, const LayoutFileLoader& loadFile = {}) {
    CreateFromLayout(ReadLayout(layout, loadFile));
  }

  template <class T>
  T& Get(const std::string& name) const {
    T* component = dynamic_cast<T*>(FindComponent(name));
    if (!component) throw Exception("No component " + name);
    return *component;
  }

 protected:
  std::string WindowClassName() const override { return "TTestForm"; }

 private:
  HandlerTable handlers_;
};

class FrameworkHarness {
 public:
  explicit FrameworkHarness(const FormatSettings& region = UnitedStates()) {
    sim.regional.Set(region);
    app = std::make_unique<TApplication>(sim.Services());
    app->SetTitle("Kelpo");
  }
  ~FrameworkHarness() {
    form.reset();
    app.reset();
  }

  // A new form; Load it after adding its handlers.
  TTestForm& NewForm() {
    form = std::make_unique<TTestForm>(*app);
    return *form;
  }

  SimPlatform sim;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<TTestForm> form;
};

}  // namespace kelpo
