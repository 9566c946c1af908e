#pragma once
// TApplication: the title, the forms in creation order, the message loop and the general error
// display. One instance per process (tests make their own).
#include <exception>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "ui/backend.h"

namespace ui {

class TForm;

class TApplication {
 public:
  TApplication(Backend& backend, platform::FileSystem& files);

  Backend& backend() const { return backend_; }
  // Pictures are read through this.
  platform::FileSystem& files() const { return files_; }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Forms register themselves on construction; the first is the main form.
  void RegisterForm(TForm* form);
  void UnregisterForm(TForm* form);
  TForm* MainForm() const { return forms_.empty() ? nullptr : forms_.front(); }

  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // What the process returns once the loop has ended; 0 unless set.
  int ExitCode() const { return exit_code_; }
  void SetExitCode(int code) { exit_code_ = code; }

  // The general error display: shows the error's text in a message box titled with Title.
  void ShowException(const std::exception& error);
  // Runs fn, sending any error it raises to ShowException.
  template <class Fn>
  void Guard(Fn&& fn) {
    try {
      fn();
    } catch (const std::exception& error) {
      ShowException(error);
    }
  }

 private:
  Backend& backend_;
  platform::FileSystem& files_;
  std::string title_;
  std::vector<TForm*> forms_;
  bool terminated_ = false;
  int exit_code_ = 0;
};

}  // namespace ui
