// The texts that lie over the main window's pictures. The pictures carry no words but names, so
// that every text can be translated; each label sits where the artwork leaves it room
// (tools/artwork/make_artwork.py) and takes all of that room's width, for longer languages.
#include "app/dlgMain.h"
#include "ui/tr.h"

namespace {

// The artwork's palette.
constexpr ui::TColor kInk = ui::Rgb(27, 64, 104);
constexpr ui::TColor kGrey = ui::Rgb(104, 122, 140);

ui::TFont ArtFont(int pixels, bool bold, ui::TColor color) {
  ui::TFont font = ui::PixelFont("Tahoma", pixels, bold);
  font.Color = color;
  return font;
}

}  // namespace

ui::TLabel* TfrmMain::AddText(const char* name, const std::string& caption, const ui::TFont& font, ui::TRect place,
                              ui::TAlignment alignment) {
  auto* label = Add<ui::TLabel>(this, name);
  label->SetCaption(caption);
  label->SetFont(font);
  label->SetTransparent(true);
  label->SetAlignment(alignment);
  // Word-wrapped and auto-sized: the width stays, a longer text takes a second line.
  label->SetWordWrap(true);
  label->SetBounds(place.Left, place.Top, place.Width, place.Height);
  return label;
}

// Made after the pictures they lie on, so that they paint above them.
void TfrmMain::CreateArtworkTexts() {
  using ui::TAlignment;
  // The header, right of the wordmark and under it; the footer, right of the mark. Every page.
  // TRANSLATORS: %1 is the maker's name.
  lbByMaker = AddText("lbByMaker", ui::Format(ui::Tr("by %1"), {"Torvex"}), ArtFont(13, false, ui::Rgb(214, 240, 248)),
                      {95, 58, 215, 16}, TAlignment::taLeftJustify);
  lbDiskCleaner = AddText("lbDiskCleaner", ui::Tr("Disk Cleaner"), ArtFont(17, true, ui::clWhite), {320, 40, 397, 21},
                          TAlignment::taRightJustify);
  lbSlogan = AddText("lbSlogan", ui::Tr("more space, less clutter"), ArtFont(12, false, ui::Rgb(220, 244, 250)),
                     {320, 62, 397, 15}, TAlignment::taRightJustify);
  lbTagline = AddText("lbTagline", ui::Tr("Keeps your disks clean"), ArtFont(14, true, kInk), {64, 508, 576, 17},
                      TAlignment::taLeftJustify);
  lbFooterLine = AddText("lbFooterLine", "Clutterix  \u2022  " + ui::Tr("Disk Cleaner for Windows"),
                         ArtFont(11, false, kGrey), {64, 527, 576, 13}, TAlignment::taLeftJustify);

  // The settings page: the two steps' headings beside their numbers, the start picture's words
  // and what it does below it, and the hint card's text while no category's hint shows.
  lbStepChoose = AddText("lbStepChoose", ui::Tr("Choose what to clean"), ArtFont(17, true, kInk), {258, 158, 204, 21},
                         TAlignment::taLeftJustify);
  lbStepStart = AddText("lbStepStart", ui::Tr("Start the scan"), ArtFont(17, true, kInk), {500, 158, 217, 21},
                        TAlignment::taLeftJustify);
  lbStartScan = AddText("lbStartScan", ui::Tr("Start Scan"), ArtFont(16, true, ui::clWhite),
                        {kStartTextLeft, kStartTextMiddle - 10, 110, 20}, TAlignment::taCenter);
  // A press or click on the words is one on the picture, which also names itself to readers.
  lbStartScan->SetHitTest(false);
  lbStartHelp =
      AddText("lbStartHelp", ui::Tr("Click the button to look for garbage on the disks chosen in the options."),
              ArtFont(11, false, kGrey), {456, 340, 156, 13}, TAlignment::taCenter);
  lbHintPlaceholder = AddText("lbHintPlaceholder", ui::Tr("Point at a category to see what it cleans."),
                              ArtFont(11, false, ui::Rgb(150, 166, 182)), {132, 425, 471, 13}, TAlignment::taCenter);

  // The scanning and results pages: the page's title and subtitle, up to the summary card; two
  // lines of subtitle end where the list begins.
  lbPageTitle = AddText("lbPageTitle", "", ArtFont(21, true, kInk), {74, 126, 350, 25}, TAlignment::taLeftJustify);
  lbPageSubtitle =
      AddText("lbPageSubtitle", "", ArtFont(12, false, kGrey), {75, 152, 350, 30}, TAlignment::taLeftJustify);
  // Two lines at most, whatever the caption: a fixed height, set once the label stops sizing itself.
  lbPageSubtitle->SetAutoSize(false);
  lbPageSubtitle->SetSize(350, 30);
  lbPageTitle->SetVisible(false);
  lbPageSubtitle->SetVisible(false);
}

// The words are centred on the face's widest part, on one line or two; the face moves down and
// right while it is pressed, and the words with it.
void TfrmMain::PlaceStartText(bool Pressed) {
  const int shift = Pressed ? 2 : 0;
  lbStartScan->SetPosition(kStartTextLeft + shift, kStartTextMiddle - lbStartScan->Height() / 2 + shift);
}
