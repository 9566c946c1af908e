#pragma once
// The whole program on test doubles: fake platform, fake screen, a test-driven main thread, and
// the six windows created in start-up order. The shipped data/ files are planted beside the
// fake executable (C:\Program Files\Clutterix\), as the build lays them out.
#include <memory>

#include "context/context.h"
#include "tests/support/fake_backend.h"
#include "tests/support/fake_platform.h"
#include "tests/support/sync_queue.h"
#include "ui/application.h"

class TfrmMain;

struct TestEnv {
  // Plants the data files; `create_forms` false leaves the windows to the test.
  explicit TestEnv(bool create_forms = true);
  ~TestEnv();

  // Creates the six windows in order (TfrmMain runs FormCreate on construction).
  void CreateForms();
  // FormShow of the main window, then the posted start-up checks.
  void ShowMainWindow();

  FakePlatform fake;
  SyncQueue main_thread;
  FakeBackend backend;
  ui::TApplication app{backend, fake.files};
  TForms forms;
  TContext context{app, fake.os, main_thread, forms};

  std::vector<std::unique_ptr<ui::TForm>> owned;

  static constexpr const char* kExeFolder = "C:\\Program Files\\Clutterix\\";
};

// Plants every file under the source tree's `relative` folder (for example "data") into `files`
// below `target` (a Windows folder ending in "\").
void PlantSourceFolder(FakeFileSystem& files, const std::string& relative, const std::string& target);
