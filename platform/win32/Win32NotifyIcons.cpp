#include "platform/win32/Win32NotifyIcons.h"

#include <cstring>

#include "platform/win32/Win32Api.h"
// windows.h first
#include <shellapi.h>

namespace kelpo {
namespace {

static_assert(sizeof(NotifyIconData::Tip) == sizeof(NOTIFYICONDATAA::szTip));

// An icon handle made from a picture: a 32-bit colour bitmap whose alpha
// follows the picture and the AND mask that hides its transparent pixels.
class IconHandle {
 public:
  explicit IconHandle(const IconImage* image) {
    if (!image || image->Empty() ||
        image->Pixels.size() != static_cast<std::size_t>(image->Width) * static_cast<std::size_t>(image->Height))
      return;
    const int width = image->Width, height = image->Height;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, like the picture
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP colour = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    // Monochrome bitmap rows are padded to 16 bits; a set bit is transparent.
    const int maskStride = ((width + 15) / 16) * 2;
    std::vector<BYTE> mask(static_cast<std::size_t>(maskStride) * height, 0);
    if (colour && bits) {
      auto* out = static_cast<std::uint32_t*>(bits);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          const std::uint32_t pixel = image->Pixels[static_cast<std::size_t>(y) * width + x];
          const bool transparent = (pixel >> 24) == 0;
          out[static_cast<std::size_t>(y) * width + x] = transparent ? 0 : (pixel | 0xFF000000u);
          if (transparent) mask[static_cast<std::size_t>(y) * maskStride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
      }
      HBITMAP maskBitmap = CreateBitmap(width, height, 1, 1, mask.data());
      ICONINFO iconInfo{};
      iconInfo.fIcon = TRUE;
      iconInfo.hbmMask = maskBitmap;
      iconInfo.hbmColor = colour;
      if (maskBitmap) icon_ = CreateIconIndirect(&iconInfo);
      if (maskBitmap) DeleteObject(maskBitmap);
    }
    if (colour) DeleteObject(colour);
  }
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  ~IconHandle() {
    if (icon_) DestroyIcon(icon_);
  }
  HICON Get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

}  // namespace

bool Win32NotifyIcons::NotifyIcon(NotifyIconCommand command, const NotifyIconData& data) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V2_SIZE;
  record.hWnd = ToHwnd(data.Window);
  record.uID = data.Id;
  record.uFlags = data.Flags;
  record.uCallbackMessage = data.CallbackMessage;
  IconHandle icon(data.Icon);
  record.hIcon = icon.Get();
  std::memcpy(record.szTip, data.Tip.data(), sizeof(record.szTip));
  record.szTip[sizeof(record.szTip) - 1] = '\0';
  DWORD message = NIM_ADD;
  switch (command) {
    case NotifyIconCommand::Add:
      message = NIM_ADD;
      break;
    case NotifyIconCommand::Modify:
      message = NIM_MODIFY;
      break;
    case NotifyIconCommand::Delete:
      message = NIM_DELETE;
      break;
  }
  return Shell_NotifyIconA(message, &record) != FALSE;
}

std::uint32_t Win32NotifyIcons::DoubleClickTime() {
  return GetDoubleClickTime();
}

ModifierKeys Win32NotifyIcons::AsyncModifierKeys() {
  auto down = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
  return ModifierKeys{down(VK_SHIFT), down(VK_MENU), down(VK_CONTROL)};
}

}  // namespace kelpo
