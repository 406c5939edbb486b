// Popup menus on Windows (Wine): what reaches the screen while the menu is
// open, the default item, and the accelerators of owner-drawn items.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/Canvas.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"

namespace kelpo {
namespace {

// Runs `step` with the open menu's window from a thread timer that the menu's
// modal loop dispatches, until it answers true; closes the menu after 5 s.
class OpenMenuStep {
 public:
  static void Start(std::function<bool(HWND menuWindow)> step) {
    Current() = std::move(step);
    rounds_ = 0;
    SetTimer(nullptr, 0, 20, &OpenMenuStep::Tick);
  }

 private:
  static std::function<bool(HWND)>& Current() {
    static std::function<bool(HWND)> step;
    return step;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow)) return;
    if (Current()(menuWindow)) {
      KillTimer(nullptr, timer);
    } else if (++rounds_ > 250) {
      KillTimer(nullptr, timer);
      PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    }
  }
  static inline int rounds_ = 0;
};

// The screen's pixels in the window's rectangle (0x00RRGGBB, rows top down).
std::vector<std::uint32_t> CaptureWindow(HWND window, RECT& rect) {
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint32_t*>(bits)[i] & 0xFFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

int CountOf(const std::vector<std::uint32_t>& pixels, std::uint32_t pixel) {
  int count = 0;
  for (std::uint32_t p : pixels) count += p == pixel ? 1 : 0;
  return count;
}

class Win32PopupMenus : public ::testing::Test {
 protected:
  TMenuItem& AddItem(TPopupMenu& menu, const std::string& caption) {
    auto* item = new TMenuItem(root.get());
    item->Caption = caption;
    item->OnClick = [this](TComponent* sender) { clicked = static_cast<TMenuItem*>(sender)->Caption; };
    menu.Items().Add(item);
    return *item;
  }

  Win32Platform win32;
  std::unique_ptr<TApplication> app = std::make_unique<TApplication>(win32.Services());
  std::unique_ptr<TComponent> root = std::make_unique<TComponent>(*app);
  std::string clicked;
};

constexpr std::uint32_t Green = 0x00C800;
constexpr std::uint32_t Magenta = 0xFF00FF;
constexpr std::uint32_t Red = 0xC81E1E;

TEST_F(Win32PopupMenus, IconsShowWithTheirMaskAndTheDefaultItemIsTheSystemsDefault) {
  auto* images = new TImageList(root.get());
  TBitmap icon(16, 16, Green);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 4; ++x) icon.SetPixel(x, y, Magenta);
  images->AddMasked(icon, Magenta);
  auto* menu = new TPopupMenu(root.get());
  menu->SetImages(images);
  AddItem(*menu, "&Home").ImageIndex = 0;
  AddItem(*menu, "-");
  AddItem(*menu, "&Open").Default = true;

  int greens = 0, magentas = -1;
  UINT defaultPosition = 0;
  OpenMenuStep::Start([&](HWND menuWindow) {
    RECT rect{};
    const std::vector<std::uint32_t> pixels = CaptureWindow(menuWindow, rect);
    greens = CountOf(pixels, Green);
    magentas = CountOf(pixels, Magenta);
    constexpr UINT MenuGetHandle = 0x01E1;  // MN_GETHMENU
    defaultPosition =
        GetMenuDefaultItem(reinterpret_cast<HMENU>(SendMessageA(menuWindow, MenuGetHandle, 0, 0)), TRUE, 0);
    if (greens < 12 * 16) return false;  // not painted yet
    PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  });
  menu->Popup(500, 400);
  EXPECT_EQ(greens, 12 * 16) << "the icon's visible part, once";
  EXPECT_EQ(magentas, 0) << "its transparent part shows the menu";
  EXPECT_EQ(defaultPosition, 2u);
  EXPECT_EQ(clicked, "");
}

TEST_F(Win32PopupMenus, OwnerDrawnItemsPaintAndTheirAcceleratorsChoose) {
  auto* menu = new TPopupMenu(root.get());
  menu->OwnerDraw = true;
  TMenuItem& header = AddItem(*menu, "");
  header.OnMeasureItem = [](TComponent*, TCanvas&, int& width, int& height) {
    width = 120;
    height = 30;
  };
  header.OnDrawItem = [](TComponent*, TCanvas& canvas, const Rect& rect, bool) {
    canvas.FillRect(Rect{rect.Left, rect.Top, 100, 30}, Rgb(0xC8, 0x1E, 0x1E));
  };
  AddItem(*menu, "-");
  AddItem(*menu, "Start/Stop");
  AddItem(*menu, "E&xit");

  int reds = 0;
  OpenMenuStep::Start([&](HWND menuWindow) {
    RECT rect{};
    reds = CountOf(CaptureWindow(menuWindow, rect), Red);
    if (reds < 100 * 30) return false;
    PostMessageA(menuWindow, WM_CHAR, 'x', 0);  // the system knows no text of owner-drawn items
    return true;
  });
  menu->Popup(500, 400);
  EXPECT_EQ(reds, 100 * 30) << "the header as its handler painted it";
  EXPECT_EQ(clicked, "E&xit");
}

}  // namespace
}  // namespace kelpo
