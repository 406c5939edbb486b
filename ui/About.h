#pragma once
// The about box: a small frameless window with the about picture, the maker's
// home page as a link, a "Close" link and the version of the running program.
// It is created hidden and shown without being modal; closing it only hides
// it, and it lives as long as the program.

#include "framework/Form.h"
#include "framework/StdControls.h"
#include "gif/GIFImage.h"

namespace kelpo {

class TAboutDialog : public TForm {
 public:
  // Builds the box from its layout, hidden; FormCreate has run when this returns.
  explicit TAboutDialog(TApplication& application);
  ~TAboutDialog() override;

  // Components of the layout (Fields).
  TGIFImage* GIFImage1 = nullptr;
  TLabel* Label1 = nullptr;  // the home page address
  TLabel* Label2 = nullptr;  // "Close"
  TLabel* Label3 = nullptr;  // the version

  // Shows the box and brings it to the front; when it is shown already, it
  // only comes to the front.
  void ShowBox();

  // Handlers, which the layout wires by name (Handlers).
  void FormCreate(TComponent* sender);
  void Label1Click(TComponent* sender);
  void Label2Click(TComponent* sender);

 protected:
  std::string WindowClassName() const override { return "TAboutDialog"; }
  const HandlerTable& Handlers() const override;
  const FieldTable& Fields() const override;
};

}  // namespace kelpo
