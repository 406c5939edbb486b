#include "app/MainForm.h"

#include "base/ScopeGuard.h"
#include "framework/BusyCursor.h"
#include "scheduler/ScheduleKeys.h"

namespace kelpo {

TMainForm::TMainForm(TApplication& application, CacheLibrary* cacheLibrary)
    : TForm(application), cacheLibrary_(cacheLibrary) {
  AddHandler("FormCreate", [this](TComponent* s) { FormCreate(s); });
  AddHandler("FormDestroy", [this](TComponent* s) { FormDestroy(s); });
  AddHandler("ComboBox1Change", [this](TComponent* s) { ComboBox1Change(s); });
  AddHandler("Image8Click", [this](TComponent* s) { Image8Click(s); });
  AddHandler("Image3Click", [this](TComponent* s) { Image3Click(s); });
  AddHandler("Image4Click", [this](TComponent* s) { Image4Click(s); });
  AddHandler("Image9Click", [this](TComponent* s) { Image9Click(s); });
  AddHandler("WashBtnClick", [this](TComponent* s) { WashBtnClick(s); });
  AddHandler("Timer1Timer", [this](TComponent* s) { Timer1Timer(s); });
  AddHandler("Image7Click", [this](TComponent* s) { Image7Click(s); });
  AddHandler("Image5Click", [this](TComponent* s) { Image5Click(s); });
  AddHandler("StartStop1Click", [this](TComponent* s) { StartStop1Click(s); });
  CreateFromLayout("MainForm.layout");
}

TMainForm::~TMainForm() {
  BeforeDestruction();
}

void TMainForm::BindComponents() {
  Image1 = Bind<TImage>("Image1");
  Image2 = Bind<TImage>("Image2");
  Image3 = Bind<TImage>("Image3");
  Image4 = Bind<TImage>("Image4");
  Image5 = Bind<TImage>("Image5");
  Image6 = Bind<TImage>("Image6");
  Image7 = Bind<TImage>("Image7");
  Image8 = Bind<TImage>("Image8");
  Image9 = Bind<TImage>("Image9");
  Panel1 = Bind<TPanel>("Panel1");
  Panel2 = Bind<TPanel>("Panel2");
  Label1 = Bind<TLabel>("Label1");
  Label2 = Bind<TLabel>("Label2");
  Label3 = Bind<TLabel>("Label3");
  Label4 = Bind<TLabel>("Label4");
  Label5 = Bind<TLabel>("Label5");
  SpinEdit1 = Bind<TSpinEdit>("SpinEdit1");
  ComboBox1 = Bind<TComboBox>("ComboBox1");
  DateTimePicker1 = Bind<TDateTimePicker>("DateTimePicker1");
  ComboBox2 = Bind<TComboBox>("ComboBox2");
  Timer1 = Bind<TTimer>("Timer1");
  IECache1 = Bind<TIECache>("IECache1");
  IECache1->SetCacheLibrary(cacheLibrary_);
  editor_.emplace(Application(), ScheduleEditorControls{*SpinEdit1, *ComboBox1, *DateTimePicker1, *ComboBox2, *Label2,
                                                        *Label3, *Label4, *Timer1});
  dueCheck_.emplace(Application(), [this] { return editor_->OpenSettings(); });
  runState_.emplace(RunStateControls{ScheduleActive, *Timer1, *Image7, *Image5, *Label5},
                    [this] { ApplyTimerInterval(); });
  washCommand_.emplace(Application(), *IECache1);
}

void TMainForm::FormCreate(TComponent*) {
  BindComponents();
  // The bitmap exists even when loading the schedule fails.
  ScopeGuard scratch([this] { ScratchBitmap = std::make_unique<TBitmap>(); });
  LoadSchedule();
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
  Timer1->SetEnabled(false);
  // The timer runs again, if the schedule is still active, whatever the tick did;
  // an error then goes on to the default handler.
  ScopeGuard rearm([this] {
    if (ScheduleActive) Timer1->SetEnabled(true);
  });
  // Whether the unit is minutes comes from the drop-down, everything else from the file.
  if (ComboBox1->ItemIndex() == suMinutes || IsScheduleDue()) RunWash();
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
