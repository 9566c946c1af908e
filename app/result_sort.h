#pragma once
// The order of the results list. Rows come newest first; a click on a column's header sorts by
// that column (paths and status texts A to Z, letter case ignored; sizes largest first, by their
// bytes, not their text), and a second click on the same column reverses the order. Rows keep
// their check marks, selection and outcomes, so this works during a cleaning run too.
namespace ui {
class TListView;
}

// The results list's columns.
enum TResultColumn : int { kPathColumn = 0, kSizeColumn = 1, kCleaningStatusColumn = 2 };

void SortResultsByColumn(ui::TListView& list, int column);
