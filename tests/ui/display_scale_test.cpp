// Display scaling: units to pixels at the common DPIs, and the artwork drawn for each scale.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/fake_backend.h"
#include "tests/support/fake_file_system.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/form.h"
#include "ui/picture.h"
#include "ui/scale.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// At 96 DPI nothing moves by a pixel; at the others, controls that touch in units touch on the
// screen, a size survives the way to pixels and back, and a measured size is never cut.
TEST(DisplayScaleTest, UnitsAndPixelsAtTheCommonDpis) {
  const ui::DisplayScale design;
  for (int v = -50; v <= 2000; ++v) {
    ASSERT_EQ(design.Px(v), v);
    ASSERT_EQ(design.Units(v), v);
    ASSERT_EQ(design.UnitsToHold(v), v);
  }
  EXPECT_EQ(design.Px(ui::TRect{459, 185, 150, 150}), (ui::TRect{459, 185, 150, 150}));

  for (int dpi : {120, 144, 168, 192, 240}) {
    const ui::DisplayScale scale(dpi);
    for (int v = 0; v <= 1000; ++v) {
      ASSERT_EQ(scale.Units(scale.Px(v)), v) << dpi << " dpi, " << v;
      ASSERT_GE(scale.Px(scale.UnitsToHold(v)), v) << dpi << " dpi, " << v;
      ASSERT_LT(scale.Px(scale.UnitsToHold(v) - 1), v) << dpi << " dpi, " << v;
    }
    // The check boxes of the settings page stand 23 units apart, 17 high: neighbours keep their
    // gap and the last edge is where the scaled sum says.
    ui::TRect a = scale.Px(ui::TRect{244, 203, 180, 23}), b = scale.Px(ui::TRect{244, 226, 180, 23});
    EXPECT_EQ(a.Top + a.Height, b.Top) << dpi;
    EXPECT_EQ(b.Top + b.Height, scale.Px(249)) << dpi;
  }
  EXPECT_EQ(ui::DisplayScale(144).Px(741), 1112);  // 1111.5: halves go up, as the artwork rounds
  EXPECT_EQ(ui::DisplayScale(144).Px(-11), -17);   // a font height keeps its sign
  EXPECT_EQ(ui::DisplayScale(0).Dpi(), ui::kDesignDpi);
}

TEST(DisplayScaleTest, TheNearestDrawingIsChosenAndNamedBesideThePicture) {
  EXPECT_EQ(ui::ArtworkPercent(72), 100);
  EXPECT_EQ(ui::ArtworkPercent(96), 100);
  EXPECT_EQ(ui::ArtworkPercent(110), 100);
  EXPECT_EQ(ui::ArtworkPercent(120), 150);  // 125 %: a tie goes to the larger drawing
  EXPECT_EQ(ui::ArtworkPercent(144), 150);
  EXPECT_EQ(ui::ArtworkPercent(168), 200);
  EXPECT_EQ(ui::ArtworkPercent(192), 200);
  EXPECT_EQ(ui::ArtworkPercent(288), 200);
  EXPECT_EQ(ui::ArtworkFile("C:\\P F\\images\\header.jpg", 100), "C:\\P F\\images\\header.jpg");
  EXPECT_EQ(ui::ArtworkFile("C:\\P F\\images\\header.jpg", 150), "C:\\P F\\images\\header@1.5x.jpg");
  EXPECT_EQ(ui::ArtworkFile("C:\\P.F\\images\\scan01", 200), "C:\\P.F\\images\\scan01@2x");
}

// A picture shows the drawing of the display's scale when there is one, and its own picture
// where that drawing is missing or broken (fitted then, but shown).
TEST(DisplayScaleTest, AnImageReadsTheDrawingOfItsScaleOnceAndFallsBackToItsOwn) {
  const std::string header = ReadAll(std::filesystem::path(CX_SOURCE_DIR) / "data/images/header.jpg");
  const std::string header2 = ReadAll(std::filesystem::path(CX_SOURCE_DIR) / "data/images/header@2x.jpg");
  ASSERT_FALSE(header.empty());
  ASSERT_FALSE(header2.empty());
  FakeFileSystem files;
  FakeBackend backend;
  ui::TApplication app{backend, files};
  ui::TForm form{app, "frmTest"};
  auto* image = form.Add<ui::TImage>(&form, "img");
  files.AddFileWithContent("C:\\app\\images\\header.jpg", header);
  files.AddFileWithContent("C:\\app\\images\\header@2x.jpg", header2);
  files.AddFileWithContent("C:\\app\\images\\header@1.5x.jpg", "not a picture");
  image->LoadFromFile("C:\\app\\images\\header.jpg");

  EXPECT_EQ(image->PictureAt(100), image->Picture());
  auto twice = image->PictureAt(200);
  ASSERT_NE(twice, nullptr);
  EXPECT_EQ(twice->Width, 2 * image->Picture()->Width);
  EXPECT_EQ(image->PictureAt(200), twice) << "read again for every paint";
  EXPECT_EQ(image->PictureAt(150), image->Picture()) << "a broken drawing falls back";

  files.AddFileWithContent("C:\\app\\images\\footer.jpg", header);
  image->LoadFromFile("C:\\app\\images\\footer.jpg");
  EXPECT_EQ(image->PictureAt(200), image->Picture()) << "a missing drawing falls back; the old one is not kept";
}

// Tray frames show the drawings of a scale only when every frame has one of the same size: an
// animation that changed size between frames would jump in the notification area.
TEST(DisplayScaleTest, ImageListsReadTheDrawingsOfAScaleForAllTheirFramesOrNone) {
  const std::filesystem::path images = std::filesystem::path(CX_SOURCE_DIR) / "data/images";
  FakeFileSystem files;
  FakeBackend backend;
  ui::TApplication app{backend, files};
  ui::TForm form{app, "frmTest"};
  auto* list = form.AddComponent<ui::TImageList>("il", 16, 16);
  for (const char* name : {"scan01.jpg", "scan01@2x.jpg", "scan01@1.5x.jpg", "scan02.jpg", "scan02@2x.jpg"})
    files.AddFileWithContent(std::string("C:\\app\\images\\") + name, ReadAll(images / name));
  list->AddFromFile("C:\\app\\images\\scan01.jpg");
  list->AddFromFile("C:\\app\\images\\scan02.jpg");

  const auto& twice = list->FramesAt(200);
  ASSERT_EQ(twice.size(), 2u);
  for (const ui::TBitmap& frame : twice) EXPECT_EQ(frame.Width, 32);
  EXPECT_EQ(list->FramesAt(150)[0].Width, 16) << "scan02 has no drawing at 1.5 x";
  EXPECT_EQ(list->FramesAt(100)[1].Width, 16);

  // A frame added later is read at every scale anew.
  list->Add(list->Frame(0));
  EXPECT_EQ(list->FramesAt(200)[0].Width, 16) << "the frame added as pixels has no drawings";
}

// Every shipped picture has its drawings at 1.5 x and 2 x, each covering the picture's size at
// that scale pixel for pixel (rounded as the screen rounds), so no display stretches one.
TEST(DisplayScaleTest, EveryShippedPictureIsDrawnAtEachScale) {
  const std::filesystem::path images = std::filesystem::path(CX_SOURCE_DIR) / "data/images";
  int pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(images)) {
    const std::string name = entry.path().filename().string();
    if (entry.path().extension() != ".jpg" || name.find('@') != std::string::npos) continue;
    ++pictures;
    const ui::TBitmap one = ui::DecodeJpeg(ReadAll(entry.path()), name);
    for (auto [percent, dpi] : {std::pair{150, 144}, std::pair{200, 192}}) {
      const std::string file = ui::ArtworkFile(entry.path().string(), percent);
      ASSERT_TRUE(std::filesystem::exists(file)) << file;
      const ui::TBitmap drawn = ui::DecodeJpeg(ReadAll(file), file);
      const ui::DisplayScale scale(dpi);
      EXPECT_EQ(drawn.Width, scale.Px(one.Width)) << file;
      EXPECT_EQ(drawn.Height, scale.Px(one.Height)) << file;
    }
  }
  EXPECT_GT(pictures, 40);
}

}  // namespace
