#pragma once
// Creates components by class name while a layout is read.

#include <functional>
#include <map>
#include <string>

#include "framework/Component.h"

namespace kelpo {

using ComponentMaker = std::function<TComponent*(TComponent* owner)>;

class ComponentRegistry {
 public:
  // The registry with the framework's classes and the program's own.
  static ComponentRegistry& Instance();
  void Register(const std::string& className, ComponentMaker maker);
  // Throws when the class is unknown.
  TComponent* Create(const std::string& className, TComponent* owner) const;

 private:
  ComponentRegistry();
  std::map<std::string, ComponentMaker> makers_;
};

}  // namespace kelpo
