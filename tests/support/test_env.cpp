#include "tests/support/test_env.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/dlgAbout.h"
#include "app/dlgMain.h"
#include "clean/dlgAlert.h"
#include "processes/dlgStartedApps.h"
#include "settings/dlgOptions.h"
#include "update/updater.h"

void PlantSourceFolder(FakeFileSystem& files, const std::string& relative, const std::string& target) {
  namespace fs = std::filesystem;
  const fs::path root = fs::path(CX_SOURCE_DIR) / relative;
  if (!fs::exists(root)) return;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    std::string rel = fs::relative(entry.path(), root).string();
    for (char& c : rel)
      if (c == '/') c = '\\';
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream data;
    data << in.rdbuf();
    files.AddFileWithContent(target + rel, data.str());
  }
}

TestEnv::TestEnv(bool create_forms) {
  fake.system.executable_path = std::string(kExeFolder) + "clutterix.exe";
  PlantSourceFolder(fake.files, "data", kExeFolder);
  fake.files.AddFolder("C:\\Documents and Settings\\User\\Local Settings\\Application Data");
  app.SetTitle("Clutterix");
  if (create_forms) CreateForms();
}

TestEnv::~TestEnv() {
  main_thread.PumpUntilIdle();
  // Destroyed in reverse order of creation, as the application frees its forms.
  while (!owned.empty()) owned.pop_back();
}

void TestEnv::CreateForms() {
  auto main = std::make_unique<TfrmMain>(context);
  forms.frmMain = main.get();
  owned.push_back(std::move(main));
  auto options = std::make_unique<TfrmOptions>(context);
  forms.frmOptions = options.get();
  owned.push_back(std::move(options));
  auto alert = std::make_unique<TfrmAlert>(context);
  forms.frmAlert = alert.get();
  owned.push_back(std::move(alert));
  auto about = std::make_unique<TfrmAbout>(context);
  forms.frmAbout = about.get();
  owned.push_back(std::move(about));
  auto updater = std::make_unique<TfrmUpdater>(context);
  forms.frmUpdater = updater.get();
  owned.push_back(std::move(updater));
  auto apps = std::make_unique<TfrmStartedApps>(context);
  forms.frmStartedApps = apps.get();
  owned.push_back(std::move(apps));
}

void TestEnv::ShowMainWindow() {
  forms.frmMain->Show();
  backend.DeliverPosted();
}
