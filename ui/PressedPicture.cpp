#include "ui/PressedPicture.h"

namespace kelpo {

void PressedPicture::Press(TImage& button, const std::string& file, TBitmap& slot) {
  slot = button.Picture();
  TBitmap pressed;
  pressed.LoadFromFile(files_, files_.ExecutableFolder() + file);
  button.SetPicture(pressed);
  button.Repaint();
}

void PressedPicture::Release(TImage& button, const TBitmap& slot) {
  button.SetPicture(slot);
}

}  // namespace kelpo
