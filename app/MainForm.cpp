#include "app/MainForm.h"

#include "framework/BusyCursor.h"
#include "scheduler/ScheduleKeys.h"

namespace kelpo {

TMainForm::TMainForm(TApplication& application, CacheLibrary* cacheLibrary)
    : TForm(application), cacheLibrary_(cacheLibrary) {
  CreateFromLayout("MainForm.layout");
  try {
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

void TMainForm::ShowAboutBox() {
  AboutDialog->ShowBox();
}

void TMainForm::objectAboutDlgTMenuItem1Click(TComponent*) {
  ShowAboutBox();
}

void TMainForm::Image3Click(TComponent*) {
  Application().Minimize();
}

void TMainForm::Image4Click(TComponent*) {
  Close();
}

bool TMainForm::WindowProc(Message& m) {
  // The window has no frame: the free part of its surface (the title strip)
  // answers as a caption, so dragging it moves the window.
  if (m.Msg == wmNcHitTest) {
    m.Result = htCaption;
    return true;
  }
  return TForm::WindowProc(m);
}

}  // namespace kelpo
