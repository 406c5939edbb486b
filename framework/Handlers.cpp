#include "framework/Handlers.h"

namespace kelpo {

HandlerTable::HandlerTable(std::initializer_list<HandlerEntry> entries) {
  for (const HandlerEntry& entry : entries) Add(entry);
}

void HandlerTable::Add(HandlerEntry entry) {
  for (HandlerEntry& held : entries_) {
    if (held.Name == entry.Name) {
      held = std::move(entry);
      return;
    }
  }
  entries_.push_back(std::move(entry));
}

const HandlerEntry* HandlerTable::Find(const std::string& name) const {
  for (const HandlerEntry& entry : entries_)
    if (entry.Name == name) return &entry;
  return nullptr;
}

}  // namespace kelpo
