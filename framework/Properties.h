#pragma once
// Published properties. Each component class lists the properties a layout
// may set once, in a table chained to its base class's table; an entry names
// the property, says how its value is read and declares its default:
//
//   const PropertyTable& TLabel::StaticProperties() {
//     static const PropertyTable table(TControl::StaticProperties(), {
//         Property("Caption", &TLabel::Caption, &TLabel::SetCaption, std::string()),
//         Property("Transparent", &TLabel::Transparent, false),
//     });
//     return table;
//   }
//
// The value's type decides how the layout's value is read: bool (True or
// False), int, std::uint32_t (not negative), std::string, a string list
// (std::vector<std::string>), binary data (std::vector<std::uint8_t>), an
// enumeration through its EnumIdentifiers table, a set of an enumeration
// (std::vector of it), a LayoutIdentifier, an event (a std::function, wired to the form's handler
// of exactly that type) or a pointer to a component class (a reference to
// another component of the layout, resolved once the whole layout is read).
// An entry may give its own reader instead (colours read numbers and names).
//
// An entry with a getter can be read back: a test compares each such property
// of a freshly made component with its declared default, so a table cannot
// claim a default the class does not have.

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "framework/LayoutReader.h"

namespace kelpo {

class TComponent;
class FormReader;

// ---- enumerated identifiers ----

template <class T>
struct EnumName {
  std::string_view Name;
  T Value;
};

// The layout's identifiers of an enumeration, one table per enumeration,
// specialised beside it:
//
//   template <>
//   struct EnumIdentifiers<TBevelCut> {
//     static constexpr EnumName<TBevelCut> Names[] = {{"bvNone", TBevelCut::bvNone}, ...};
//   };
template <class E>
struct EnumIdentifiers;

// ---- reading one property of a layout ----

class PropertyReading {
 public:
  PropertyReading(FormReader& reader, TComponent& component, const LayoutProperty& property)
      : reader_(reader), component_(component), property_(property) {}

  const LayoutValue& Value() const { return property_.Value; }
  const std::string& Name() const { return property_.Name; }
  int Line() const { return property_.Line; }
  TComponent& Component() const { return component_; }
  // "Name of Component", as errors name the property.
  std::string Where() const;

  // Throws "Layout error at line N: <what>".
  [[noreturn]] void Fail(const std::string& what) const;
  // The value is not of the kind the property takes ("an integer").
  [[noreturn]] void Needs(const std::string& kind) const;
  // The value, which must be an identifier.
  const std::string& Identifier(const std::string& kind = "an identifier") const;
  [[noreturn]] void UnknownIdentifier(const std::string& identifier) const;

  // The form's handler the value names, bound to the form; it must be exactly
  // of the event's type.
  template <class Signature>
  std::function<Signature> Handler() const {
    return std::any_cast<std::function<Signature>>(BindHandler(typeid(std::function<Signature>)));
  }
  // Once the whole layout is read, `assign` is given the component the value
  // names; it answers false when that component does not fit the property.
  void ReferLater(std::function<bool(TComponent&)> assign) const;

 private:
  std::any BindHandler(const std::type_info& event) const;

  FormReader& reader_;
  TComponent& component_;
  const LayoutProperty& property_;
};

template <class T>
using ValueReader = T (*)(const PropertyReading&);

// A name the layout gives, read as it stands (a design-time value of no use here).
struct LayoutIdentifier {
  std::string Text;
  bool operator==(const LayoutIdentifier&) const = default;
};

bool LayoutBoolean(const PropertyReading& reading);
int LayoutInteger(const PropertyReading& reading);
std::uint32_t LayoutCardinal(const PropertyReading& reading);
std::string LayoutString(const PropertyReading& reading);
std::vector<std::string> LayoutStrings(const PropertyReading& reading);
std::vector<std::uint8_t> LayoutBytes(const PropertyReading& reading);
// The identifiers of a set value.
const std::vector<std::string>& LayoutSetItems(const PropertyReading& reading);

// The value `identifier` stands for in `names`; an unknown one is a layout error.
template <class T>
T IdentifierValue(const PropertyReading& reading, const std::string& identifier, std::span<const EnumName<T>> names) {
  for (const EnumName<T>& name : names)
    if (name.Name == identifier) return name.Value;
  reading.UnknownIdentifier(identifier);
}

// The one way a layout's enumerated identifiers are read.
template <class E>
E LayoutEnum(const PropertyReading& reading) {
  return IdentifierValue<E>(reading, reading.Identifier(), EnumIdentifiers<E>::Names);
}

template <class E>
std::vector<E> LayoutEnumSet(const PropertyReading& reading) {
  std::vector<E> values;
  for (const std::string& item : LayoutSetItems(reading))
    values.push_back(IdentifierValue<E>(reading, item, EnumIdentifiers<E>::Names));
  return values;
}

// ---- table entries ----

struct PropertyEntry {
  std::string Name;
  std::function<void(TComponent&, const PropertyReading&)> Read;
  // Reading back, for the check of the declared defaults; empty when the
  // property cannot be read back.
  std::function<std::any(const TComponent&)> Get;
  std::any Default;
  std::function<bool(const std::any&, const std::any&)> Same;
  // Made by NewDefault: the base class's entry of that name with another default.
  bool DefaultOnly = false;

  bool Readable() const { return static_cast<bool>(Get); }
  bool HoldsDefault(const TComponent& component) const { return Same(Get(component), Default); }
};

namespace property_detail {

template <class T>
struct IsFunction : std::false_type {};
template <class Signature>
struct IsFunction<std::function<Signature>> : std::true_type {
  using Type = Signature;
};

template <class T>
struct IsEnumSet : std::false_type {};
template <class E>
struct IsEnumSet<std::vector<E>> : std::is_enum<E> {};

template <class T>
constexpr bool IsReference = (std::is_pointer_v<T> && std::is_class_v<std::remove_pointer_t<T>>);

// The value types read without a reader of the entry's own.
template <class T>
constexpr bool HasValueReader = std::is_same_v<T, bool> || std::is_same_v<T, int> || std::is_same_v<T, std::uint32_t> ||
                                std::is_same_v<T, std::string> || std::is_same_v<T, std::vector<std::string>> ||
                                std::is_same_v<T, std::vector<std::uint8_t>> || std::is_same_v<T, LayoutIdentifier> ||
                                std::is_enum_v<T> || IsEnumSet<T>::value || IsFunction<T>::value;

template <class T>
T ValueOf(const PropertyReading& reading) {
  if constexpr (std::is_same_v<T, bool>) {
    return LayoutBoolean(reading);
  } else if constexpr (std::is_same_v<T, int>) {
    return LayoutInteger(reading);
  } else if constexpr (std::is_same_v<T, std::uint32_t>) {
    return LayoutCardinal(reading);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return LayoutString(reading);
  } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
    return LayoutStrings(reading);
  } else if constexpr (std::is_same_v<T, std::vector<std::uint8_t>>) {
    return LayoutBytes(reading);
  } else if constexpr (std::is_same_v<T, LayoutIdentifier>) {
    return LayoutIdentifier{reading.Identifier()};
  } else if constexpr (std::is_enum_v<T>) {
    return LayoutEnum<T>(reading);
  } else if constexpr (IsEnumSet<T>::value) {
    return LayoutEnumSet<typename T::value_type>(reading);
  } else if constexpr (IsFunction<T>::value) {
    return reading.Handler<typename IsFunction<T>::Type>();
  } else {
    static_assert(HasValueReader<T>, "no layout reader for this value type: give the entry one");
  }
}

template <class T>
bool SameValue(const std::any& a, const std::any& b) {
  const T& x = std::any_cast<const T&>(a);
  const T& y = std::any_cast<const T&>(b);
  if constexpr (IsFunction<T>::value) {
    return static_cast<bool>(x) == static_cast<bool>(y);  // events default to no handler
  } else {
    return x == y;
  }
}

template <class G>
struct GetterTraits;
template <class C, class T>
struct GetterTraits<T C::*> {
  using Class = C;
  using Value = T;
};
template <class C, class R>
struct GetterTraits<R (C::*)() const> {
  using Class = C;
  using Value = std::remove_cvref_t<R>;
};

// `get` is a getter or nullptr (the property cannot be read back); `set` is a
// member function or a callable taking (C&, T).
template <class C, class T, class Get, class Set>
PropertyEntry Make(std::string name, Get get, Set set, T byDefault, ValueReader<T> read) {
  PropertyEntry entry;
  entry.Name = std::move(name);
  if constexpr (IsReference<T>) {
    entry.Read = [set](TComponent& component, const PropertyReading& reading) {
      C* target = &static_cast<C&>(component);
      reading.ReferLater([target, set](TComponent& found) {
        T value = dynamic_cast<T>(&found);
        if (!value) return false;
        std::invoke(set, *target, value);
        return true;
      });
    };
  } else {
    if constexpr (HasValueReader<T>) {
      if (!read) read = &ValueOf<T>;
    } else if (!read) {
      throw std::logic_error("property " + entry.Name + " needs a reader of its own");
    }
    entry.Read = [set, read](TComponent& component, const PropertyReading& reading) {
      std::invoke(set, static_cast<C&>(component), read(reading));
    };
  }
  if constexpr (!std::is_same_v<Get, std::nullptr_t>) {
    entry.Get = [get](const TComponent& component) -> std::any {
      return T(std::invoke(get, static_cast<const C&>(component)));
    };
    entry.Default = std::move(byDefault);
    entry.Same = &SameValue<T>;
  }
  return entry;
}

}  // namespace property_detail

// A data member, read and written directly.
template <class C, class T, std::enable_if_t<!std::is_function_v<T>, int> = 0>
PropertyEntry Property(std::string name, T C::*member, std::type_identity_t<T> byDefault = T(),
                       ValueReader<T> read = nullptr) {
  const auto set = [member](C& component, T value) { component.*member = std::move(value); };
  return property_detail::Make<C, T>(std::move(name), member, set, std::move(byDefault), read);
}

// A getter (a const member function or a data member) and a setter (a member
// function, or a callable taking the component and the value).
template <class Getter, class Setter, class C = typename property_detail::GetterTraits<Getter>::Class,
          class T = typename property_detail::GetterTraits<Getter>::Value,
          std::enable_if_t<std::is_invocable_v<Setter&, C&, T>, int> = 0>
PropertyEntry Property(std::string name, Getter get, Setter set, std::type_identity_t<T> byDefault = T(),
                       ValueReader<T> read = nullptr) {
  return property_detail::Make<C, T>(std::move(name), get, set, std::move(byDefault), read);
}

// Getter and setter on a class named explicitly, as callables or as members of a base:
// Property<TControl>("Font.Name", [](const TControl& c) { ... }, [](TControl& c, std::string v) { ... }, "...").
template <class C, class Getter, class Setter, class T = std::remove_cvref_t<std::invoke_result_t<Getter&, const C&>>,
          std::enable_if_t<std::is_invocable_v<Setter&, C&, T>, int> = 0>
PropertyEntry Property(std::string name, Getter get, Setter set, std::type_identity_t<T> byDefault,
                       ValueReader<T> read = nullptr) {
  return property_detail::Make<C, T>(std::move(name), get, set, std::move(byDefault), read);
}

// A property that cannot be read back, read by `read` (binary data that the
// component decodes, a value that takes effect at once).
template <class C, class Read>
PropertyEntry CustomProperty(std::string name, Read read) {
  static_assert(std::is_invocable_v<Read&, C&, const PropertyReading&>, "a reader takes the component and the reading");
  PropertyEntry entry;
  entry.Name = std::move(name);
  entry.Read = [read](TComponent& component, const PropertyReading& reading) {
    read(static_cast<C&>(component), reading);
  };
  return entry;
}

// A design-time property that the framework checks and then has no use for.
template <class T>
PropertyEntry Ignored(std::string name) {
  return CustomProperty<TComponent>(
      std::move(name), [](TComponent&, const PropertyReading& reading) { property_detail::ValueOf<T>(reading); });
}

// A property with the one value the framework supports; another is a layout error.
template <class T>
PropertyEntry Fixed(std::string name, T only, std::string unsupported) {
  return CustomProperty<TComponent>(std::move(name), [only, unsupported](TComponent&, const PropertyReading& reading) {
    if (property_detail::ValueOf<T>(reading) != only) reading.Fail(unsupported);
  });
}

// The base class's property of that name, with the default this class gives it.
template <class T>
PropertyEntry NewDefault(std::string name, T byDefault) {
  PropertyEntry entry;
  entry.Name = std::move(name);
  entry.Default = std::move(byDefault);
  entry.DefaultOnly = true;
  return entry;
}

// A class's published properties, and through its base those it inherits.
class PropertyTable {
 public:
  PropertyTable(std::initializer_list<PropertyEntry> entries);
  // Entries replace the base's entries of the same name.
  PropertyTable(const PropertyTable& base, std::initializer_list<PropertyEntry> entries);
  PropertyTable(const PropertyTable&) = delete;
  PropertyTable& operator=(const PropertyTable&) = delete;

  const PropertyEntry* Find(std::string_view name) const;
  // Every property once, as this class has it.
  std::vector<const PropertyEntry*> All() const;

 private:
  const PropertyTable* base_ = nullptr;
  std::vector<PropertyEntry> entries_;
};

}  // namespace kelpo
