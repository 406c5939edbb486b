#pragma once
// Reads a parsed layout into a form, walking it once: the form's own
// properties, then each nested object (made by class name, put into the
// object that holds it, its properties read through its class's property
// table), then the references between components, which can name components
// further down, and last the form's component fields. Every mistake of the
// layout is an error naming its line.

#include <any>
#include <functional>
#include <map>
#include <string>
#include <typeinfo>
#include <vector>

#include "framework/LayoutReader.h"
#include "framework/Properties.h"

namespace kelpo {

class TComponent;
class TForm;

class FormReader {
 public:
  explicit FormReader(TForm& form) : form_(form) {}
  void Read(const LayoutNode& root);

  // For PropertyReading: the form's handler the property names, which must
  // be a std::function of exactly `event`'s type.
  std::any BindHandler(const PropertyReading& reading, const std::type_info& event);
  void ReferLater(const PropertyReading& reading, std::function<bool(TComponent&)> assign);

 private:
  struct Reference {
    int Line;
    std::string Where;
    std::string Target;
    std::function<bool(TComponent&)> Assign;
  };

  void ReadProperties(TComponent& component, const LayoutNode& node);
  void ReadChildren(TComponent& holder, const LayoutNode& node);
  void ResolveReferences();
  void BindFields();

  TForm& form_;
  std::vector<Reference> references_;
  std::map<std::string, int> lines_;  // the line of each component's object
};

}  // namespace kelpo
