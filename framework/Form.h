#pragma once
// Forms: top-level windows built from a layout, with creation, destruction
// and close-query events, and the tables of handlers and component fields
// that the layout is bound to.

#include <functional>
#include <string>

#include "framework/Control.h"
#include "framework/Handlers.h"

namespace kelpo {

enum class TPosition { poDesigned, poDesktopCenter };
template <>
struct EnumIdentifiers<TPosition> {
  static constexpr EnumName<TPosition> Names[] = {{"poDesigned", TPosition::poDesigned},
                                                  {"poDesktopCenter", TPosition::poDesktopCenter}};
};

// Only bsNone is supported: the forms of this program have no system frame.
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
template <>
struct EnumIdentifiers<TFormBorderStyle> {
  static constexpr EnumName<TFormBorderStyle> Names[] = {{"bsNone", TFormBorderStyle::bsNone},
                                                         {"bsSingle", TFormBorderStyle::bsSingle},
                                                         {"bsSizeable", TFormBorderStyle::bsSizeable},
                                                         {"bsDialog", TFormBorderStyle::bsDialog},
                                                         {"bsToolWindow", TFormBorderStyle::bsToolWindow},
                                                         {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}};
};

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
template <>
struct EnumIdentifiers<TBorderIcon> {
  static constexpr EnumName<TBorderIcon> Names[] = {{"biSystemMenu", TBorderIcon::biSystemMenu},
                                                    {"biMinimize", TBorderIcon::biMinimize},
                                                    {"biMaximize", TBorderIcon::biMaximize},
                                                    {"biHelp", TBorderIcon::biHelp}};
};

using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TApplication& application);
  ~TForm() override;

  std::string Caption;
  TPosition Position = TPosition::poDesigned;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseQueryEvent OnCloseQuery;

  // Asks OnCloseQuery; then closing the main form ends the application and
  // closing any other form hides it.
  void Close();
  void SetVisible(bool visible) override;
  // Runs OnDestroy and frees the components, once. A derived form whose
  // handlers OnDestroy reaches calls it from its own destructor, while the
  // handlers still exist.
  void BeforeDestruction();
  void BringToFront();

  static const PropertyTable& StaticProperties();
  const PropertyTable& Properties() const override { return StaticProperties(); }
  // The handlers a layout may wire, and the component fields set once it is
  // read; a form lists each in one static table (framework/Handlers.h).
  virtual const HandlerTable& Handlers() const;
  virtual const FieldTable& Fields() const;

 protected:
  // Builds the form from an embedded layout: components are created and read,
  // the fields are set, every component is told LayoutLoaded, the windows are created, OnCreate
  // runs (an error there is shown and the form still appears), and the form
  // is shown when the layout says it is visible.
  void CreateFromLayout(const std::string& resourceName);
  void CreateFromLayout(const LayoutNode& root);
  // The window class name the system sees (for example "TMainForm").
  virtual std::string WindowClassName() const = 0;

  WindowParams CreateParams() override;
  bool WindowProc(Message& m) override;
  // Activation: the focus goes back to the control that had it.
  bool Activated(Message& m);

 private:
  bool showWhenLoaded_ = true;  // the layout's Visible
  bool destroying_ = false;
};

}  // namespace kelpo
