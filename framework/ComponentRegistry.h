#pragma once
// Creates components by class name while a layout is read.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/Component.h"

namespace kelpo {

using ComponentMaker = std::function<TComponent*(TComponent* owner)>;

class ComponentRegistry {
 public:
  // The registry with the framework's classes and the program's own.
  static ComponentRegistry& Instance();
  void Register(const std::string& className, ComponentMaker maker);
  template <class T>
  void Register(const std::string& className) {
    Register(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
  }
  bool Contains(const std::string& className) const { return makers_.count(className) != 0; }
  std::vector<std::string> ClassNames() const;
  // Throws when the class is unknown.
  TComponent* Create(const std::string& className, TComponent* owner) const;

 private:
  ComponentRegistry();
  std::map<std::string, ComponentMaker> makers_;
};

}  // namespace kelpo
