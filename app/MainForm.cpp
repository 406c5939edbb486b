#include "app/MainForm.h"

#include "framework/BusyCursor.h"
#include "scheduler/ScheduleKeys.h"

namespace kelpo {

TMainForm::TMainForm(TApplication& application, CacheLibrary* cacheLibrary)
    : TForm(application), cacheLibrary_(cacheLibrary) {
  try {
    CreateFromLayout("MainForm.layout");
    AboutDialog = std::make_unique<TAboutDialog>(application);
  } catch (...) {
    BeforeDestruction();  // while this window's handlers still exist
    throw;
  }
}

TMainForm::~TMainForm() {
  BeforeDestruction();
}

const HandlerTable& TMainForm::Handlers() const {
  static const HandlerTable table{
      Handler("FormCreate", &TMainForm::FormCreate),
      Handler("FormDestroy", &TMainForm::FormDestroy),
      Handler("ComboBox1Change", &TMainForm::ComboBox1Change),
      Handler("Image8Click", &TMainForm::Image8Click),
      Handler("Image3Click", &TMainForm::Image3Click),
      Handler("Image4Click", &TMainForm::Image4Click),
      Handler("Image9Click", &TMainForm::Image9Click),
      Handler("WashBtnClick", &TMainForm::WashBtnClick),
      Handler("Timer1Timer", &TMainForm::Timer1Timer),
      Handler("Image7Click", &TMainForm::Image7Click),
      Handler("Image5Click", &TMainForm::Image5Click),
      Handler("StartStop1Click", &TMainForm::StartStop1Click),
      Handler("FormCloseQuery", &TMainForm::FormCloseQuery),
      Handler("Exit1Click", &TMainForm::Exit1Click),
      Handler("ShowWindow1Click", &TMainForm::ShowWindow1Click),
      Handler("TrayIcon1DblClick", &TMainForm::TrayIcon1DblClick),
      Handler("Orvanex1MeasureItem", &TMainForm::Orvanex1MeasureItem),
      Handler("Orvanex1DrawItem", &TMainForm::Orvanex1DrawItem),
      Handler("Orvanex1Click", &TMainForm::Orvanex1Click),
      Handler("Image6Click", &TMainForm::Image6Click),
      Handler("Image5MouseDown", &TMainForm::Image5MouseDown),
      Handler("Image6MouseDown", &TMainForm::Image6MouseDown),
      Handler("Image7MouseDown", &TMainForm::Image7MouseDown),
      Handler("Image8MouseDown", &TMainForm::Image8MouseDown),
      Handler("Image9MouseDown", &TMainForm::Image9MouseDown),
      Handler("Image5MouseUp", &TMainForm::Image5MouseUp),
      Handler("Image6MouseUp", &TMainForm::Image6MouseUp),
      Handler("Image7MouseUp", &TMainForm::Image7MouseUp),
      Handler("Image8MouseUp", &TMainForm::Image8MouseUp),
      Handler("Image9MouseUp", &TMainForm::Image9MouseUp),
      Handler("KelpoHomePage1Click", &TMainForm::KelpoHomePage1Click),
      Handler("DevService1Click", &TMainForm::DevService1Click),
      Handler("GIFImage1Click", &TMainForm::GIFImage1Click),
      Handler("objectAboutDlgTMenuItem1Click", &TMainForm::objectAboutDlgTMenuItem1Click),
  };
  return table;
}

const FieldTable& TMainForm::Fields() const {
  static const FieldTable table{
      Field("Image1", &TMainForm::Image1),
      Field("Image2", &TMainForm::Image2),
      Field("Image3", &TMainForm::Image3),
      Field("Image4", &TMainForm::Image4),
      Field("Image5", &TMainForm::Image5),
      Field("Image6", &TMainForm::Image6),
      Field("Image7", &TMainForm::Image7),
      Field("Image8", &TMainForm::Image8),
      Field("Image9", &TMainForm::Image9),
      Field("Panel1", &TMainForm::Panel1),
      Field("Panel2", &TMainForm::Panel2),
      Field("Label1", &TMainForm::Label1),
      Field("Label2", &TMainForm::Label2),
      Field("Label3", &TMainForm::Label3),
      Field("Label4", &TMainForm::Label4),
      Field("Label5", &TMainForm::Label5),
      Field("SpinEdit1", &TMainForm::SpinEdit1),
      Field("ComboBox1", &TMainForm::ComboBox1),
      Field("DateTimePicker1", &TMainForm::DateTimePicker1),
      Field("ComboBox2", &TMainForm::ComboBox2),
      Field("Timer1", &TMainForm::Timer1),
      Field("IECache1", &TMainForm::IECache1),
      Field("TrayIcon1", &TMainForm::TrayIcon1),
      Field("OneInstance1", &TMainForm::OneInstance1),
      Field("PopupMenu2", &TMainForm::PopupMenu2),
      Field("PopupMenu1", &TMainForm::PopupMenu1),
      Field("ImageList1", &TMainForm::ImageList1),
  };
  return table;
}

void TMainForm::CreateCollaborators() {
  IECache1->SetCacheLibrary(cacheLibrary_);
  editor_.emplace(Application(), ScheduleEditorControls{*SpinEdit1, *ComboBox1, *DateTimePicker1, *ComboBox2, *Label2,
                                                        *Label3, *Label4, *Timer1});
  dueCheck_.emplace(Application(), [this] { return editor_->SettingsPath(); });
  runState_.emplace(RunStateControls{ScheduleActive, *Timer1, *Image7, *Image5, *Label5},
                    [this] { ApplyTimerInterval(); });
  washCommand_.emplace(Application(), *IECache1);
  pressedPicture_.emplace(Application().Services().files);
  webLinks_.emplace(Application().Services().shell, *this);
}

void TMainForm::FormCreate(TComponent*) {
  CreateCollaborators();
  // The bitmap exists even when loading the schedule fails.
  try {
    LoadSchedule();
  } catch (...) {
    ScratchBitmap = std::make_unique<TBitmap>();
    throw;
  }
  ScratchBitmap = std::make_unique<TBitmap>();
}

void TMainForm::FormDestroy(TComponent*) {
  ScratchBitmap.reset();
}

void TMainForm::LoadSchedule() {
  editor_->Load();
}

void TMainForm::ComboBox1Change(TComponent*) {
  editor_->ShowSentenceParts();
}

void TMainForm::ApplyTimerInterval() {
  editor_->ApplyTimerInterval();
}

void TMainForm::Image8Click(TComponent*) {
  Dialogs& dialogs = Application().Services().dialogs;
  if (dialogs.MessageBox(Handle(), "Apply schedule changes?", "Confirm", mbYesNo | mbIconQuestion) != idYes) return;
  BusyCursor busy(Application());
  editor_->Store();
  ApplyTimerInterval();
  dialogs.MessageBox(Handle(), "Schedule changes have been applied", Application().Title(), mbOk | mbIconInformation);
}

void TMainForm::RunWash() {
  washCommand_->Run();
}

bool TMainForm::IsScheduleDue() {
  return dueCheck_->IsScheduleDue();
}

void TMainForm::Image9Click(TComponent*) {
  // The question belongs to the application window, as the program's own boxes do.
  if (Application().Services().dialogs.MessageBox(Application().Handle(), "Wash IE cookies and cache?",
                                                  Application().Title(), mbYesNo | mbIconQuestion) == idYes)
    RunWash();
}

void TMainForm::WashBtnClick(TComponent*) {
  RunWash();
}

void TMainForm::Timer1Timer(TComponent*) {
  // Whether the unit is minutes comes from the drop-down, everything else from the file.
  runState_->Tick([this] {
    if (ComboBox1->ItemIndex() == suMinutes || IsScheduleDue()) RunWash();
  });
}

void TMainForm::Image7Click(TComponent*) {
  runState_->Start();
}

void TMainForm::Image5Click(TComponent*) {
  runState_->Stop();
}

void TMainForm::StartStop1Click(TComponent*) {
  runState_->Toggle();
}

void TMainForm::Image3Click(TComponent*) {
  Application().Minimize();
}

void TMainForm::Image4Click(TComponent*) {
  Close();
}

void TMainForm::FormCloseQuery(TComponent*, bool& canClose) {
  canClose = ExitRequested;
  if (ExitRequested) return;
  // The window goes into the tray; the schedule keeps running.
  TrayIcon1->HideMainWindow();
  TrayIcon1->SetIconVisible(true);
}

void TMainForm::Exit1Click(TComponent*) {
  ExitRequested = true;
  Close();
}

void TMainForm::ShowWindow1Click(TComponent*) {
  TrayIcon1->ShowMainWindow();
}

void TMainForm::TrayIcon1DblClick(TComponent*) {
  TrayIcon1->ShowMainWindow();
}

void TMainForm::Orvanex1MeasureItem(TComponent*, TCanvas&, int& width, int& height) {
  width = 190;
  height = 100;
}

void TMainForm::Orvanex1DrawItem(TComponent*, TCanvas& canvas, const Rect&, bool) {
  // Read anew for every draw and let go afterwards: the picture is a file
  // beside the program that may change or vanish while the program runs.
  TBitmap header;
  FileSystem& files = Application().Services().files;
  header.LoadFromFile(files, files.ExecutableFolder() + "\\images\\kelpo3.bmp");
  canvas.Draw(1, 1, header);
}

void TMainForm::Orvanex1Click(TComponent*) {
  webLinks_->OpenLandingPage();
}

void TMainForm::Image6Click(TComponent*) {
  // Below the help button, whose top is 10 in its panel: 50 below the window's top edge.
  const Rect window = Application().Services().windowing.GetBounds(Handle());
  PopupMenu1->PopupComponent = Image6;
  PopupMenu1->Popup(window.Left + 300, window.Top + Image6->Top() + 40);
}

void TMainForm::PressButton(TImage& button, const std::string& file) {
  if (ScratchBitmap) pressedPicture_->Press(button, file, *ScratchBitmap);
}

void TMainForm::ReleaseButton(TImage& button) {
  if (ScratchBitmap) pressedPicture_->Release(button, *ScratchBitmap);
}

void TMainForm::Image5MouseDown(TComponent*, TMouseButton, int, int) {
  PressButton(*Image5, "\\images\\pstop.bmp");
}

void TMainForm::Image6MouseDown(TComponent*, TMouseButton, int, int) {
  PressButton(*Image6, "\\images\\help.bmp");
}

void TMainForm::Image7MouseDown(TComponent*, TMouseButton, int, int) {
  PressButton(*Image7, "\\images\\pstart.bmp");
}

void TMainForm::Image8MouseDown(TComponent*, TMouseButton, int, int) {
  PressButton(*Image8, "\\images\\apply.bmp");
}

void TMainForm::Image9MouseDown(TComponent*, TMouseButton, int, int) {
  PressButton(*Image9, "\\images\\washnow.bmp");
}

void TMainForm::Image5MouseUp(TComponent*, TMouseButton, int, int) {
  ReleaseButton(*Image5);
}

void TMainForm::Image6MouseUp(TComponent*, TMouseButton, int, int) {
  ReleaseButton(*Image6);
}

void TMainForm::Image7MouseUp(TComponent*, TMouseButton, int, int) {
  ReleaseButton(*Image7);
}

void TMainForm::Image8MouseUp(TComponent*, TMouseButton, int, int) {
  ReleaseButton(*Image8);
}

void TMainForm::Image9MouseUp(TComponent*, TMouseButton, int, int) {
  ReleaseButton(*Image9);
}

void TMainForm::KelpoHomePage1Click(TComponent* sender) {
  webLinks_->OpenMenuEntry(sender);
}

void TMainForm::DevService1Click(TComponent* sender) {
  webLinks_->OpenServiceEntry(sender);
}

void TMainForm::GIFImage1Click(TComponent*) {
  webLinks_->OpenLandingPage();
}

void TMainForm::objectAboutDlgTMenuItem1Click(TComponent*) {
  ShowAboutBox();
}

void TMainForm::ShowAboutBox() {
  AboutDialog->ShowBox();
}

void TMainForm::NonClientHitTest(Message& m) {
  // The window has no frame: where the standard answer is the client area,
  // that is the part of its surface that the panels leave free (the title
  // strip), it answers as a caption, so dragging there moves the window.
  m.Result = Application().Services().windowing.DefaultWindowProc(Handle(), m);
  if (m.Result == htClient) m.Result = htCaption;
}

void TMainForm::AllowShutdown(Message& m) {
  ExitRequested = true;
  m.Result = 1;
}

bool TMainForm::WindowProc(Message& m) {
  switch (m.Msg) {
    case wmQueryEndSession:
      AllowShutdown(m);
      return true;
    case wmEndSession:
      // The logon ends: Windows may end the process once this returns, so
      // the icon leaves the notification area now, and the program ends.
      if (m.WParam) {
        ExitRequested = true;
        if (TrayIcon1) TrayIcon1->SetIconVisible(false);
        Application().Guard([this] { Close(); });
      }
      m.Result = 0;
      return true;
    default:
      break;
  }
  if (m.Msg == wmNcHitTest) {
    NonClientHitTest(m);
    return true;
  }
  return TForm::WindowProc(m);
}

}  // namespace kelpo
