// The list alone: fills a results list of the real Win32 backend, row by row at the top as a scan
// adds them, with the message loop running between batches as between a worker's reports, until
// the list has painted its last state; then sorts the full list by size, as a click on that
// column's header does, until painted again. Prints one line per size:
//   fill_rows=<n> fill_seconds=<s> sort_seconds=<s>
// The backend's header first: it brings <windows.h> in after the widget types it must not clash with.
#include "ui/win32/backend_win32.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/result_sort.h"
#include "platform/win32/win32_platform.h"
#include "scan/size_text.h"
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

// Runs the message loop until the list's window shows `rows` rows, then paints it at once.
void WaitUntilPainted(HWND window, int rows) {
  Pump();
  while (SendMessageA(window, LVM_GETITEMCOUNT, 0, 0) != rows) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    Pump();
  }
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

struct Timings {
  double fill, sort;
};

Timings Fill(ui::win32::Win32Backend& backend, ui::TApplication& app, int rows) {
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
    row->Data = (static_cast<int64_t>(i) * 7919) % 1000003;
    row->AddSubItem(SizeText(row->Data, '.'));
    row->AddSubItem("Queued...");
    if (i % 100 == 99) Pump();
  }
  // The window learns of the last rows at its display rate: the loop runs until it has them all.
  // Painted: whatever repaint is still pending is done now, and the last row is the top one.
  HWND window = backend.WindowOf(*list);
  WaitUntilPainted(window, rows);
  const double filled = Now();
  SortResultsByColumn(*list, kSizeColumn);
  WaitUntilPainted(window, rows);
  const Timings timings{filled - start, Now() - filled};
  form.Hide();
  return timings;
}

}  // namespace

int main(int argc, char** argv) {
  auto files = platform::win32::CreateFileSystem();
  ui::win32::Win32Backend backend(GetModuleHandleA(nullptr));
  ui::TApplication app(backend, *files);
  app.SetTitle("List fill");
  for (int i = 1; i < argc; ++i) {
    const int rows = std::atoi(argv[i]);
    const Timings timings = Fill(backend, app, rows);
    std::printf("fill_rows=%d fill_seconds=%.3f sort_seconds=%.3f\n", rows, timings.fill, timings.sort);
    std::fflush(stdout);
  }
  backend.Shutdown();
  forms.clear();
  return 0;
}
