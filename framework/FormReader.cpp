#include "framework/FormReader.h"

#include "base/Exception.h"
#include "framework/ComponentRegistry.h"
#include "framework/Form.h"
#include "framework/Handlers.h"

namespace kelpo {

void FormReader::Read(const LayoutNode& root) {
  form_.Name = root.Name;
  lines_[root.Name] = root.Line;
  ReadProperties(form_, root);
  ReadChildren(form_, root);
  ResolveReferences();
  BindFields();
}

void FormReader::ReadProperties(TComponent& component, const LayoutNode& node) {
  const PropertyTable& table = component.Properties();
  for (const LayoutProperty& property : node.Properties) {
    const PropertyEntry* entry = table.Find(property.Name);
    if (!entry) ThrowLayoutError(property.Line, "unknown property " + property.Name + " of " + node.Name);
    entry->Read(component, PropertyReading(*this, component, property));
  }
}

void FormReader::ReadChildren(TComponent& holder, const LayoutNode& node) {
  const ComponentRegistry& registry = ComponentRegistry::Instance();
  for (const LayoutNode& child : node.Children) {
    if (!registry.Contains(child.ClassName)) ThrowLayoutError(child.Line, "class " + child.ClassName + " not found");
    // Every component of a layout belongs to the form, whatever holds it.
    TComponent* component = registry.Create(child.ClassName, &form_);
    component->Name = child.Name;
    lines_[child.Name] = child.Line;
    if (!holder.InsertLayoutChild(*component))
      ThrowLayoutError(child.Line, node.Name + " cannot hold " + child.Name + ", a " + child.ClassName);
    ReadProperties(*component, child);
    ReadChildren(*component, child);
  }
}

std::any FormReader::BindHandler(const PropertyReading& reading, const std::type_info& event) {
  const std::string& name = reading.Identifier("a handler name");
  const HandlerEntry* handler = form_.Handlers().Find(name);
  if (!handler) reading.Fail("unknown handler " + name + " for " + reading.Where());
  if (*handler->Event != event) reading.Fail("handler " + name + " does not fit " + reading.Where());
  return handler->Make(form_);
}

void FormReader::ReferLater(const PropertyReading& reading, std::function<bool(TComponent&)> assign) {
  const std::string& target = reading.Identifier("a component name");
  references_.push_back(Reference{reading.Line(), reading.Where(), target, std::move(assign)});
}

void FormReader::ResolveReferences() {
  for (const Reference& reference : references_) {
    TComponent* target = form_.FindComponent(reference.Target);
    if (!target) ThrowLayoutError(reference.Line, "unknown component " + reference.Target + " for " + reference.Where);
    if (!reference.Assign(*target))
      ThrowLayoutError(reference.Line, "component " + reference.Target + " does not fit " + reference.Where);
  }
}

void FormReader::BindFields() {
  for (const FieldEntry& field : form_.Fields().Entries()) {
    TComponent* component = form_.FindComponent(field.Name);
    if (!component) throw Exception("The layout of " + form_.Name + " has no " + field.Name);
    if (!field.Bind(form_, *component))
      ThrowLayoutError(lines_[field.Name], "component " + field.Name + " does not fit the field of " + form_.Name);
  }
}

}  // namespace kelpo
