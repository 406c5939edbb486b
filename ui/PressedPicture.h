#pragma once
// The pressed look of the main window's image buttons. On a mouse press the
// button's picture is parked in a save slot (the window's ScratchBitmap) and
// the pressed picture is loaded from the images folder beside the program; on
// the release the parked picture comes back. The slot is the only place the
// normal picture goes: the system clipboard is left alone, so a press never
// destroys what the user copied.

#include <string>

#include "framework/Bitmap.h"
#include "framework/StdControls.h"
#include "platform/FileSystem.h"

namespace kelpo {

class PressedPicture {
 public:
  explicit PressedPicture(FileSystem& files) : files_(files) {}

  // Parks the button's face in `slot` and shows the picture of `file`, a
  // literal that begins with a separator ("\images\washnow.bmp") appended to
  // the executable's folder. A file that is missing or no bitmap raises
  // "Cannot open file <path>" or "Bitmap image is not valid", and the button
  // keeps its face. The pressed face is on the screen when this returns, so
  // it shows while the click's action runs.
  void Press(TImage& button, const std::string& file, TBitmap& slot);
  // Puts the parked face back, also on a button that has hidden itself meanwhile.
  void Release(TImage& button, const TBitmap& slot);

 private:
  FileSystem& files_;
};

}  // namespace kelpo
