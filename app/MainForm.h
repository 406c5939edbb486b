#pragma once
// The main window: its components from the layout, its private state and the
// handlers the layout wires to them.

#include <memory>
#include <optional>

#include "framework/Bitmap.h"
#include "framework/Form.h"
#include "framework/ImageList.h"
#include "framework/Menus.h"
#include "framework/StdControls.h"
#include "framework/Timer.h"
#include "framework/widgets/ComboBox.h"
#include "framework/widgets/DateTimePicker.h"
#include "framework/widgets/SpinEdit.h"
#include "scheduler/DueCheck.h"
#include "scheduler/RunState.h"
#include "scheduler/ScheduleEditor.h"
#include "tray/OneInstance.h"
#include "tray/TrayIcon.h"
#include "ui/About.h"
#include "ui/PressedPicture.h"
#include "ui/WebLinks.h"
#include "wash/IECache.h"
#include "wash/WashCommand.h"

namespace kelpo {

class TMainForm : public TForm {
 public:
  // Creates the window from its layout, then the about box, hidden; FormCreate
  // has run when this returns. In a second copy of the program OneInstance1
  // ends the creation before FormCreate (EAbort). `cacheLibrary` is the probe of the cache
  // library made at program start.
  explicit TMainForm(TApplication& application, CacheLibrary* cacheLibrary = nullptr);
  ~TMainForm() override;

  // Components of the layout, set once it is read (Fields).
  TImage* Image1 = nullptr;
  TImage* Image2 = nullptr;
  TImage* Image3 = nullptr;
  TImage* Image4 = nullptr;
  TImage* Image5 = nullptr;
  TImage* Image6 = nullptr;
  TImage* Image7 = nullptr;
  TImage* Image8 = nullptr;
  TImage* Image9 = nullptr;
  TPanel* Panel1 = nullptr;
  TPanel* Panel2 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;
  TSpinEdit* SpinEdit1 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TDateTimePicker* DateTimePicker1 = nullptr;
  TComboBox* ComboBox2 = nullptr;
  TTimer* Timer1 = nullptr;
  TIECache* IECache1 = nullptr;
  TTrayIcon* TrayIcon1 = nullptr;
  TOneInstance* OneInstance1 = nullptr;
  TPopupMenu* PopupMenu2 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TImageList* ImageList1 = nullptr;

  // Private state of the window.
  bool ScheduleActive = false;
  // A close request ends the program (else it hides the window into the
  // tray); set by "E&xit" and at the end of the logon, never cleared.
  bool ExitRequested = false;
  std::unique_ptr<TBitmap> ScratchBitmap;
  // The about box, from the end of the window's creation to its destruction.
  std::unique_ptr<TAboutDialog> AboutDialog;

  // Handlers, which the layout wires by name (Handlers).
  void FormCreate(TComponent* sender);
  void FormDestroy(TComponent* sender);
  void ComboBox1Change(TComponent* sender);
  void Image8Click(TComponent* sender);
  void Image3Click(TComponent* sender);
  void Image4Click(TComponent* sender);
  void Image9Click(TComponent* sender);
  void WashBtnClick(TComponent* sender);
  void Timer1Timer(TComponent* sender);
  void Image7Click(TComponent* sender);
  void Image5Click(TComponent* sender);
  void StartStop1Click(TComponent* sender);
  void FormCloseQuery(TComponent* sender, bool& canClose);
  void Exit1Click(TComponent* sender);
  void ShowWindow1Click(TComponent* sender);
  void TrayIcon1DblClick(TComponent* sender);
  // The tray menu's header: a picture read from the images folder at every
  // draw, which opens the maker's general page.
  void Orvanex1MeasureItem(TComponent* sender, TCanvas& canvas, int& width, int& height);
  void Orvanex1DrawItem(TComponent* sender, TCanvas& canvas, const Rect& rect, bool selected);
  void Orvanex1Click(TComponent* sender);
  // WM_QUERYENDSESSION: the logon may end, at once and without a question.
  void AllowShutdown(Message& m);
  void Image6Click(TComponent* sender);
  void Image5MouseDown(TComponent* sender, TMouseButton button, int x, int y);
  void Image6MouseDown(TComponent* sender, TMouseButton button, int x, int y);
  void Image7MouseDown(TComponent* sender, TMouseButton button, int x, int y);
  void Image8MouseDown(TComponent* sender, TMouseButton button, int x, int y);
  void Image9MouseDown(TComponent* sender, TMouseButton button, int x, int y);
  void Image5MouseUp(TComponent* sender, TMouseButton button, int x, int y);
  void Image6MouseUp(TComponent* sender, TMouseButton button, int x, int y);
  void Image7MouseUp(TComponent* sender, TMouseButton button, int x, int y);
  void Image8MouseUp(TComponent* sender, TMouseButton button, int x, int y);
  void Image9MouseUp(TComponent* sender, TMouseButton button, int x, int y);
  void KelpoHomePage1Click(TComponent* sender);
  void DevService1Click(TComponent* sender);
  void GIFImage1Click(TComponent* sender);
  void objectAboutDlgTMenuItem1Click(TComponent* sender);
  // The system's hit test: the free part of the window's surface is its caption.
  void NonClientHitTest(Message& m);

  void LoadSchedule();
  void ApplyTimerInterval();
  void RunWash();
  bool IsScheduleDue();
  // Shows the about box without making it modal; when it is shown already, it
  // only comes to the front.
  void ShowAboutBox();
  ScheduleEditor& Editor() { return *editor_; }

 protected:
  std::string WindowClassName() const override { return "TMainForm"; }
  bool WindowProc(Message& m) override;
  const HandlerTable& Handlers() const override;
  const FieldTable& Fields() const override;

 private:
  // The classes that own the behaviour the handlers call.
  void CreateCollaborators();
  void PressButton(TImage& button, const std::string& file);
  void ReleaseButton(TImage& button);
  CacheLibrary* cacheLibrary_;
  std::optional<ScheduleEditor> editor_;
  std::optional<DueCheck> dueCheck_;
  std::optional<RunState> runState_;
  std::optional<WashCommand> washCommand_;
  std::optional<PressedPicture> pressedPicture_;
  std::optional<WebLinks> webLinks_;
};

}  // namespace kelpo
