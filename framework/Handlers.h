#pragma once
// What a form offers the layout it is built from: its handlers by name, which
// the layout wires to events, and its component fields by name, which are set
// to the layout's components once the layout is read. A form lists each once:
//
//   const HandlerTable& TMainForm::Handlers() const {
//     static const HandlerTable table{
//         Handler("FormCreate", &TMainForm::FormCreate),
//         Handler("Image8Click", &TMainForm::Image8Click),
//     };
//     return table;
//   }
//   const FieldTable& TMainForm::Fields() const {
//     static const FieldTable table{Field("Image1", &TMainForm::Image1), ...};
//     return table;
//   }
//
// A handler fits an event only when its parameters and result are exactly the
// event's; the layout reader refuses another, naming the line. Nothing here
// knows any particular event: an event of a new shape is a new std::function
// type on its component, and a handler of that shape fits it.

#include <any>
#include <functional>
#include <initializer_list>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "framework/Component.h"

namespace kelpo {

class TForm;

struct HandlerEntry {
  std::string Name;
  const std::type_info* Event = nullptr;  // the std::function type the handler fits
  // The handler bound to the form, as a std::any holding that std::function.
  std::function<std::any(TForm& form)> Make;
};

namespace handler_detail {

template <class M>
struct CallShape;
template <class F, class R, class... A>
struct CallShape<R (F::*)(A...) const> {
  using Event = std::function<R(A...)>;
};
template <class F, class R, class... A>
struct CallShape<R (F::*)(A...)> {
  using Event = std::function<R(A...)>;
};

}  // namespace handler_detail

// A method of the form C; the table is the form's, so the method may be private.
template <class C, class R, class... A>
HandlerEntry Handler(std::string name, R (C::*method)(A...)) {
  using Event = std::function<R(A...)>;
  return HandlerEntry{
      std::move(name), &typeid(Event), [method](TForm& form) -> std::any {
        C& self = static_cast<C&>(form);
        return Event([&self, method](A... args) -> R { return (self.*method)(std::forward<A>(args)...); });
      }};
}

// A callable of one shape (a lambda), for forms that gather handlers as they go.
template <class F, class = decltype(&F::operator())>
HandlerEntry Handler(std::string name, F callable) {
  using Event = typename handler_detail::CallShape<decltype(&F::operator())>::Event;
  return HandlerEntry{std::move(name), &typeid(Event), [callable](TForm&) -> std::any { return Event(callable); }};
}

class HandlerTable {
 public:
  HandlerTable() = default;
  HandlerTable(std::initializer_list<HandlerEntry> entries);
  // Replaces a handler of the same name.
  void Add(HandlerEntry entry);
  const HandlerEntry* Find(const std::string& name) const;

 private:
  std::vector<HandlerEntry> entries_;
};

struct FieldEntry {
  std::string Name;
  // Sets the form's field; false when the component is not of the field's class.
  std::function<bool(TForm& form, TComponent& component)> Bind;
};

template <class C, class T>
FieldEntry Field(std::string name, T* C::*member) {
  return FieldEntry{std::move(name), [member](TForm& form, TComponent& component) {
                      T* typed = dynamic_cast<T*>(&component);
                      if (!typed) return false;
                      static_cast<C&>(form).*member = typed;
                      return true;
                    }};
}

class FieldTable {
 public:
  FieldTable() = default;
  FieldTable(std::initializer_list<FieldEntry> entries) : entries_(entries) {}
  const std::vector<FieldEntry>& Entries() const { return entries_; }

 private:
  std::vector<FieldEntry> entries_;
};

}  // namespace kelpo
