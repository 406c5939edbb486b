#pragma once
// Helpers shared by the Win32 backend tests: a window procedure that records
// what it receives, and pumping messages until something has happened.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Windowing.h"
#include "platform/win32/Win32Api.h"

namespace kelpo::testing {

class RecordingProcedure : public PaintedWindow {
 public:
  bool WindowProc(Message& m) override {
    messages.push_back(m);
    return onMessage ? onMessage(m) : false;
  }
  void PaintWindow(Surface& target) override {
    ++paints;
    if (onPaint) onPaint(target);
  }
  int Count(std::uint32_t msg) const {
    int count = 0;
    for (const auto& m : messages) count += m.Msg == msg ? 1 : 0;
    return count;
  }

  std::function<bool(Message&)> onMessage;
  std::function<void(Surface&)> onPaint;
  std::vector<Message> messages;
  int paints = 0;
};

inline WindowParams WindowOf(WindowKind kind, const std::string& className, WindowHandle parent = 0, Rect bounds = {},
                             bool visible = false, const std::string& text = "") {
  WindowParams params;
  params.Kind = kind;
  params.ClassName = className;
  params.Text = text;
  params.Parent = parent;
  params.Bounds = bounds;
  params.Visible = visible;
  return params;
}

// Dispatches messages, waiting for new ones in between, until `done` holds or
// `rounds` waits of at most 20 ms have passed. Returns `done()`.
inline bool PumpUntil(Windowing& windowing, const std::function<bool()>& done, int rounds = 250) {
  for (int i = 0; i < rounds && !done(); ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    windowing.ProcessMessages();
  }
  return done();
}

// The colour on the screen at (x, y), as a surface pixel (0x00RRGGBB).
inline std::uint32_t ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = 1;
  info.bmiHeader.biHeight = -1;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, 1, 1, screen, x, y, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  const std::uint32_t pixel = *static_cast<std::uint32_t*>(bits) & 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixel;
}

}  // namespace kelpo::testing
