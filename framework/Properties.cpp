#include "framework/Properties.h"

#include <limits>
#include <stdexcept>

#include "framework/Component.h"
#include "framework/FormReader.h"

namespace kelpo {

std::string PropertyReading::Where() const {
  return property_.Name + " of " + component_.Name;
}

void PropertyReading::Fail(const std::string& what) const {
  ThrowLayoutError(property_.Line, what);
}

void PropertyReading::Needs(const std::string& kind) const {
  Fail("property " + Where() + " needs " + kind);
}

const std::string& PropertyReading::Identifier(const std::string& kind) const {
  if (Value().Type != LayoutValue::Kind::Identifier) Needs(kind);
  return Value().Text;
}

void PropertyReading::UnknownIdentifier(const std::string& identifier) const {
  Fail("unknown identifier " + identifier + " for " + Where());
}

std::any PropertyReading::BindHandler(const std::type_info& event) const {
  return reader_.BindHandler(*this, event);
}

void PropertyReading::ReferLater(std::function<bool(TComponent&)> assign) const {
  reader_.ReferLater(*this, std::move(assign));
}

bool LayoutBoolean(const PropertyReading& reading) {
  const std::string& id = reading.Identifier("True or False");
  if (id == "True") return true;
  if (id == "False") return false;
  reading.Needs("True or False");
}

int LayoutInteger(const PropertyReading& reading) {
  const LayoutValue& value = reading.Value();
  if (value.Type != LayoutValue::Kind::Integer) reading.Needs("an integer");
  if (value.Integer < std::numeric_limits<int>::min() || value.Integer > std::numeric_limits<int>::max())
    reading.Fail("property " + reading.Where() + " is out of range");
  return static_cast<int>(value.Integer);
}

std::uint32_t LayoutCardinal(const PropertyReading& reading) {
  const LayoutValue& value = reading.Value();
  if (value.Type != LayoutValue::Kind::Integer) reading.Needs("an integer");
  if (value.Integer < 0) reading.Fail("property " + reading.Where() + " cannot be negative");
  if (value.Integer > std::numeric_limits<std::uint32_t>::max())
    reading.Fail("property " + reading.Where() + " is out of range");
  return static_cast<std::uint32_t>(value.Integer);
}

std::string LayoutString(const PropertyReading& reading) {
  if (reading.Value().Type != LayoutValue::Kind::String) reading.Needs("a string");
  return reading.Value().Text;
}

std::vector<std::string> LayoutStrings(const PropertyReading& reading) {
  if (reading.Value().Type != LayoutValue::Kind::StringList) reading.Needs("a string list");
  return reading.Value().Items;
}

std::vector<std::uint8_t> LayoutBytes(const PropertyReading& reading) {
  if (reading.Value().Type != LayoutValue::Kind::Binary) reading.Needs("binary data");
  return reading.Value().Bytes;
}

const std::vector<std::string>& LayoutSetItems(const PropertyReading& reading) {
  if (reading.Value().Type != LayoutValue::Kind::Set) reading.Needs("a set");
  return reading.Value().Items;
}

PropertyTable::PropertyTable(std::initializer_list<PropertyEntry> entries) : entries_(entries) {
  for (const PropertyEntry& entry : entries_)
    if (entry.DefaultOnly) throw std::logic_error("NewDefault(" + entry.Name + ") needs a base table");
}

PropertyTable::PropertyTable(const PropertyTable& base, std::initializer_list<PropertyEntry> entries)
    : base_(&base), entries_(entries) {
  for (PropertyEntry& entry : entries_) {
    if (!entry.DefaultOnly) continue;
    const PropertyEntry* inherited = base.Find(entry.Name);
    if (!inherited || !inherited->Readable() || inherited->Default.type() != entry.Default.type())
      throw std::logic_error("NewDefault(" + entry.Name + ") names no readable base property of its type");
    std::any byDefault = std::move(entry.Default);
    entry = *inherited;
    entry.Default = std::move(byDefault);
  }
}

const PropertyEntry* PropertyTable::Find(std::string_view name) const {
  for (const PropertyTable* table = this; table; table = table->base_)
    for (const PropertyEntry& entry : table->entries_)
      if (entry.Name == name) return &entry;
  return nullptr;
}

std::vector<const PropertyEntry*> PropertyTable::All() const {
  std::vector<const PropertyEntry*> all;
  for (const PropertyTable* table = this; table; table = table->base_)
    for (const PropertyEntry& entry : table->entries_)
      if (Find(entry.Name) == &entry) all.push_back(&entry);
  return all;
}

}  // namespace kelpo
