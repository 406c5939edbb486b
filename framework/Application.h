#pragma once
// The application object: title, main form, message loop, minimise, the
// application-wide cursor override and the default error handler.

#include <exception>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "platform/Platform.h"

namespace kelpo {

class TControl;
class TForm;

class TApplication : private MessageWindow {
 public:
  explicit TApplication(Platform& platform);
  ~TApplication() override;
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  Platform& Services() const { return platform_; }
  WindowHandle Handle() const { return handle_; }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // The regional formats, refreshed when the system announces a change.
  const FormatSettings& Formats() const { return formats_; }

  // The first form created becomes the main form; closing it ends the loop.
  TForm* MainForm() const { return mainForm_; }
  void RegisterForm(TForm& form);
  void UnregisterForm(TForm& form);

  // Runs the message loop until Terminate; returns the exit code.
  int Run();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Minimises the whole application: its forms are hidden and the
  // application window shows as a minimised taskbar button.
  void Minimize();
  void Restore();

  // The control that last had the keyboard focus, and its window; the focus
  // goes back to it when a window of the program is activated again.
  TControl* ActiveControl() const { return activeControl_; }
  WindowHandle ActiveControlWindow() const { return activeControlWindow_; }
  void SetActiveControl(TControl* control, WindowHandle window) {
    activeControl_ = control;
    activeControlWindow_ = window;
  }

  // Application-wide cursor override (Default: every control shows its own).
  void SetCursor(CursorKind cursor) { platform_.windowing.SetCursorOverride(cursor); }
  CursorKind Cursor() const { return platform_.windowing.CursorOverride(); }

  // The default error handler: the message in a box with an error icon and the title as caption;
  // EAbort, the silent cancellation, shows nothing.
  void ShowException(const std::exception& error);
  // Runs an event handler; an error it raises ends it and is shown.
  template <class Handler>
  void Guard(Handler&& handler) {
    try {
      std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
      ShowException(error);
    }
  }

  // An object that all instances of a class share within the application,
  // such as the hidden window that serves every simple timer. It sits in a
  // slot named by a key of that class's own (the address of one of its
  // statics); one still there when the application ends is freed with it.
  class SharedObject {
   public:
    virtual ~SharedObject() = default;
  };
  SharedObject* Shared(const void* key) const;
  // Puts the object into the slot, freeing the one before; null empties it.
  void SetShared(const void* key, std::unique_ptr<SharedObject> object);

 private:
  bool WindowProc(Message& m) override;

  Platform& platform_;
  WindowHandle handle_ = 0;
  std::string title_;
  FormatSettings formats_;
  TForm* mainForm_ = nullptr;
  TControl* activeControl_ = nullptr;
  WindowHandle activeControlWindow_ = 0;
  bool terminated_ = false;
  bool minimized_ = false;  // by Minimize, until the application window is restored
  std::map<const void*, std::unique_ptr<SharedObject>> shared_;
};

}  // namespace kelpo
