#include "app/result_sort.h"

#include <algorithm>
#include <string>

#include "ui/list_view.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Letter case ignored, without making upper-case copies: a sort of 200,000 rows compares
// millions of times.
bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(Upper(a[i])), y = static_cast<unsigned char>(Upper(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace

void SortResultsByColumn(ui::TListView& list, int column) {
  if (column < kPathColumn || column > kCleaningStatusColumn) return;
  // Sizes first come largest first: that is where the space goes.
  const bool first_ascending = column != kSizeColumn;
  const bool ascending = list.SortColumn() == column ? !list.SortAscending() : first_ascending;
  const auto text = [column](const ui::TListItem& row) -> const std::string& {
    static const std::string kNone;
    if (column == kPathColumn) return row.Caption();
    const auto& sub = row.SubItems();
    return static_cast<size_t>(column - 1) < sub.size() ? sub[static_cast<size_t>(column - 1)] : kNone;
  };
  if (column == kSizeColumn) {
    list.Sort([ascending](const ui::TListItem& a, const ui::TListItem& b) {
      return ascending ? a.Data < b.Data : b.Data < a.Data;
    });
  } else {
    list.Sort([ascending, &text](const ui::TListItem& a, const ui::TListItem& b) {
      return ascending ? LessIgnoringCase(text(a), text(b)) : LessIgnoringCase(text(b), text(a));
    });
  }
  list.SetSortIndicator(column, ascending);
}
