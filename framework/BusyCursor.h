#pragma once
// The hourglass over the whole application for the life of this object; the
// arrow (not the default cursor) afterwards, on every path.

#include "framework/Application.h"

namespace kelpo {

class BusyCursor {
 public:
  explicit BusyCursor(TApplication& application) : app_(application) { app_.SetCursor(CursorKind::HourGlass); }
  ~BusyCursor() { app_.SetCursor(CursorKind::Arrow); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  TApplication& app_;
};

}  // namespace kelpo
