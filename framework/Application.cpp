#include "framework/Application.h"

#include "framework/Abort.h"
#include "framework/Form.h"

namespace kelpo {

TApplication::TApplication(Platform& platform) : platform_(platform), formats_(platform.regional.Read()) {
  WindowParams params;
  params.Kind = WindowKind::Application;
  params.ClassName = "TApplication";
  handle_ = platform_.windowing.CreateMessageWindow(params, this);
}

TApplication::~TApplication() {
  // Shared objects go first, while the application they serve is whole.
  shared_.clear();
  if (handle_) platform_.windowing.DestroyWindow(handle_);
}

TApplication::SharedObject* TApplication::Shared(const void* key) const {
  auto it = shared_.find(key);
  return it == shared_.end() ? nullptr : it->second.get();
}

void TApplication::SetShared(const void* key, std::unique_ptr<SharedObject> object) {
  // The old object is freed after the slot changed, so that its destructor
  // finds the slot already holding its successor.
  std::unique_ptr<SharedObject> old;
  auto it = shared_.find(key);
  if (it != shared_.end()) old = std::move(it->second);
  if (object) {
    shared_[key] = std::move(object);
  } else if (it != shared_.end()) {
    shared_.erase(it);
  }
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  platform_.windowing.SetWindowText(handle_, title);
}

void TApplication::RegisterForm(TForm& form) {
  if (!mainForm_) mainForm_ = &form;
}

void TApplication::UnregisterForm(TForm& form) {
  if (mainForm_ == &form) mainForm_ = nullptr;
}

int TApplication::Run() {
  if (terminated_) return 0;
  return platform_.windowing.RunMessageLoop();
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  platform_.windowing.PostQuitMessage(0);
}

void TApplication::Minimize() {
  minimized_ = true;
  if (mainForm_ && mainForm_->HandleAllocated()) platform_.windowing.ShowWindow(mainForm_->Handle(), ShowCommand::Hide);
  platform_.windowing.ShowWindow(handle_, ShowCommand::Minimize);
}

void TApplication::Restore() {
  platform_.windowing.ShowWindow(handle_, ShowCommand::Restore);
  if (mainForm_ && mainForm_->Visible() && mainForm_->HandleAllocated())
    platform_.windowing.ShowWindow(mainForm_->Handle(), ShowCommand::Show);
}

void TApplication::ShowException(const std::exception& error) {
  if (dynamic_cast<const EAbort*>(&error)) return;
  WindowHandle owner = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : handle_;
  platform_.dialogs.MessageBox(owner, error.what(), title_, mbOk | mbIconError);
}

bool TApplication::WindowProc(Message& m) {
  switch (m.Msg) {
    case wmWinIniChange:
      formats_ = platform_.regional.Read();
      return false;
    case wmSize:
      // Restored from minimised, by the taskbar button or by another
      // program: the main form that Minimize hid comes back.
      if (m.WParam == sizeRestored && minimized_) {
        minimized_ = false;
        if (mainForm_ && mainForm_->Visible() && mainForm_->HandleAllocated()) {
          platform_.windowing.ShowWindow(mainForm_->Handle(), ShowCommand::Show);
          platform_.windowing.SetForegroundWindow(mainForm_->Handle());
        }
      }
      return false;
    case wmActivate:
      // Activated while its main form shows (raised or restored by another
      // program, or the taskbar button pressed): the activation goes on to
      // the main form, where the user works.
      if ((m.WParam & 0xFFFF) != waInactive && mainForm_ && mainForm_->Visible() && mainForm_->HandleAllocated() &&
          platform_.windowing.IsWindowVisible(mainForm_->Handle())) {
        platform_.windowing.SetForegroundWindow(mainForm_->Handle());
        m.Result = 0;
        return true;
      }
      return false;
    case wmClose:
      // Closing the taskbar button closes the main form.
      if (mainForm_) Guard([&] { mainForm_->Close(); });
      return true;
    default:
      return false;
  }
}

}  // namespace kelpo
