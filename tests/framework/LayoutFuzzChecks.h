#pragma once
// What the layout fuzz target checks on each input, shared with the test that
// reads its findings (tests/framework/regress/layout/), so that a finding fails
// there exactly as it failed in the fuzzer.
//
// The input is a layout's text, read into a form with the program's component
// classes on the simulated platform, with the embedded artwork for binary data.
// The form offers every handler the program's own layouts wire, each of the
// shape of the event it is wired to there, so that the fuzzer gets past the
// binding into the components. A layout either builds its form or fails with
// the program's own error (kelpo::Exception); anything else is a fault.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/ProgramComponents.h"
#include "framework/Menus.h"
#include "framework/Resources.h"
#include "tests/framework/FrameworkTestSupport.h"

namespace kelpo::test {

// The program's layouts, from which the handler names come.
inline const std::vector<std::string>& ProgramLayoutNames() {
  static const std::vector<std::string> names = {"MainForm.layout", "AboutDialog.layout"};
  return names;
}

class LayoutFuzzHarness {
 public:
  LayoutFuzzHarness() {
    RegisterProgramComponents();
    for (const std::string& name : ProgramLayoutNames()) CollectHandlers(ReadLayout(ResourceText(name)));
  }

  // The program's own layouts must build, every handler bound: else the
  // handler shapes above have fallen behind them.
  std::optional<std::string> ProgramLayoutFault() {
    for (const std::string& name : ProgramLayoutNames()) {
      try {
        TTestForm& form = harness_.NewForm();
        for (const auto& [handler, event] : handlers_) AddHandler(form, handler, event);
        form.Load(ResourceText(name));
      } catch (const std::exception& error) {
        harness_.form.reset();
        return name + " does not build: " + error.what();
      }
      harness_.form.reset();
    }
    return std::nullopt;
  }

  // The form built from `text`, destroyed again; the fault, or nothing.
  std::optional<std::string> Fault(const std::string& text) {
    std::optional<std::string> fault;
    try {
      TTestForm& form = harness_.NewForm();
      for (const auto& [name, event] : handlers_) AddHandler(form, name, event);
      form.Load(text);
    } catch (const Exception&) {
      // The layout's own error: what a malformed layout must give.
    } catch (const std::exception& error) {
      fault = std::string("a layout failed with a foreign error: ") + error.what();
    } catch (...) {
      fault = "a layout failed with something that is no exception";
    }
    harness_.form.reset();
    return fault;
  }

 private:
  void CollectHandlers(const LayoutNode& node) {
    for (const LayoutProperty& property : node.Properties) {
      if (property.Name.rfind("On", 0) == 0 && property.Value.Type == LayoutValue::Kind::Identifier)
        handlers_.emplace_back(property.Value.Text, property.Name);
    }
    for (const LayoutNode& child : node.Children) CollectHandlers(child);
  }

  // A handler that does nothing, of the shape of `event` (an event property's name).
  static void AddHandler(TTestForm& form, const std::string& name, const std::string& event) {
    if (event == "OnMouseDown" || event == "OnMouseUp") {
      form.AddHandler(name, [](TComponent*, TMouseButton, int, int) {});
    } else if (event == "OnCloseQuery") {
      form.AddHandler(name, [](TComponent*, bool&) {});
    } else if (event == "OnMeasureItem") {
      form.AddHandler(name, [](TComponent*, TCanvas&, int&, int&) {});
    } else if (event == "OnDrawItem") {
      form.AddHandler(name, [](TComponent*, TCanvas&, const Rect&, bool) {});
    } else {
      form.AddHandler(name, [](TComponent*) {});
    }
  }

  FrameworkHarness harness_;
  std::vector<std::pair<std::string, std::string>> handlers_;  // handler name, event
};

}  // namespace kelpo::test
