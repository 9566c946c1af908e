// The list alone: fills a results list of the real Win32 backend, row by row at the top as a scan
// adds them, with the message loop running between batches as between a worker's reports, until
// the list has painted its last state. Prints one line per size:
//   fill_rows=<n> fill_seconds=<s>
// The backend's header first: it brings <windows.h> in after the widget types it must not clash with.
#include "ui/win32/backend_win32.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"

#include "bench/clock.h"

namespace {

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

class FillForm : public ui::TForm {
 public:
  explicit FillForm(ui::TApplication& app) : ui::TForm(app, "frmFill") {
    SetClientSize(640, 400);
    SetCaption("List fill");
  }
};

// The forms outlive the backend's windows, as the program's own do.
std::vector<std::unique_ptr<FillForm>> forms;

double Fill(ui::win32::Win32Backend& backend, ui::TApplication& app, int rows) {
  forms.push_back(std::make_unique<FillForm>(app));
  FillForm& form = *forms.back();
  auto* list = form.Add<ui::TListView>(&form, "lvFound");
  list->SetBounds(0, 0, 640, 400);
  list->SetCheckboxes(true);
  list->SetRowSelect(true);
  list->AddColumn("Garbage Items", 370);
  list->AddColumn("Size on Disk", 100);
  list->AddColumn("Cleaning Status", 0);
  form.Show();
  Pump();
  const double start = Now();
  for (int i = 0; i < rows; ++i) {
    ui::TListItem* row = list->Insert(0);
    row->SetCaption("C:\\cxbench\\tree\\folder00012\\folder00123\\item" + std::to_string(i) + ".dat");
    row->AddSubItem("512 Bytes");
    row->AddSubItem("Queued...");
    if (i % 100 == 99) Pump();
  }
  // The window learns of the last rows at its display rate: the loop runs until it has them all.
  HWND window = backend.WindowOf(*list);
  Pump();
  while (SendMessageA(window, LVM_GETITEMCOUNT, 0, 0) != rows) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    Pump();
  }
  // Painted: whatever repaint is still pending is done now, and the last row is the top one.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const double seconds = Now() - start;
  form.Hide();
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  auto files = platform::win32::CreateFileSystem();
  ui::win32::Win32Backend backend(GetModuleHandleA(nullptr));
  ui::TApplication app(backend, *files);
  app.SetTitle("List fill");
  for (int i = 1; i < argc; ++i) {
    const int rows = std::atoi(argv[i]);
    std::printf("fill_rows=%d fill_seconds=%.3f\n", rows, Fill(backend, app, rows));
    std::fflush(stdout);
  }
  backend.Shutdown();
  forms.clear();
  return 0;
}
