// Skin pictures are checked against the built-in picture they would replace: only a
// PNG of the same size is used; every other file is refused with its reason, which
// the PNG table reports once on standard error. (More damaged PNGs are fuzz
// regression inputs, fuzz/regressions/png.)
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

#include <memory>

#include "gui/BitmapResources.h"
#include "gui/SkinPicture.h"
#include "raster/LICE.h"
#include "support/TempFolder.h"

namespace {

constexpr int kWidth = 16, kHeight = 32;  // the built-in picture's size in these tests

// A PNG of w x h pixels, every pixel the given red byte.
std::string pngOf(int w, int h, uint8_t red = 200) {
  TempFolder scratch;
  LICE_MemBitmap picture(w, h);
  LICE_FillRect(&picture, 0, 0, w, h, LICE_PackPixel(255, red, 0, 0), 1.0f, LICE_BLIT_MODE_COPY);
  LICE_WritePNG((scratch / "p.png").c_str(), &picture);
  return readText(scratch / "p.png");
}

struct SkinFile {
  const char* name;
  // Writes the file (or whatever stands under its name) into the folder.
  void (*make)(const std::string& path);
  const char* refusal;  // empty: used (when the file exists) or silently absent
};

const SkinFile kSkinFiles[] = {
    {"Fits", [](const std::string& p) { writeText(p, pngOf(kWidth, kHeight)); }, ""},
    {"Missing", [](const std::string&) {}, ""},
    {"SwappedSides", [](const std::string& p) { writeText(p, pngOf(kHeight, kWidth)); },
     "wrong size: 32 x 16 pixels, wanted 16 x 32"},
    // A strip with fewer frames: the width fits, the height does not.
    {"HalfTheFrames", [](const std::string& p) { writeText(p, pngOf(kWidth, kHeight / 2)); },
     "wrong size: 16 x 16 pixels, wanted 16 x 32"},
    {"CutInsideTheSize",  // the header's width, then nothing
     [](const std::string& p) { writeText(p, pngOf(kWidth, kHeight).substr(0, 20)); },
     "damaged PNG"},
    {"Empty", [](const std::string& p) { writeText(p, ""); }, "empty file"},
    {"Larger16MB",  // a good picture with 17 MB of zeros after it, never read
     [](const std::string& p) {
       writeText(p, pngOf(kWidth, kHeight));
       std::filesystem::resize_file(std::filesystem::u8path(p), 17 << 20);
     },
     "larger than 16 MB (17825792 bytes)"},
    {"Folder",
     [](const std::string& p) { std::filesystem::create_directory(std::filesystem::u8path(p)); },
     "not a regular file"},
#ifndef _WIN32  // a pipe cannot take a file's name on Windows
    // Opening a pipe that nobody writes must not hang the editor.
    {"Pipe", [](const std::string& p) { mkfifo(p.c_str(), 0644); }, "not a regular file"},
#endif
};

TEST(SkinPictures, OnlyAPngOfTheBuiltInSizeIsUsed) {
  for (const SkinFile& file : kSkinFiles) {
    SCOPED_TRACE(file.name);
    TempFolder folder;
    const std::string path = folder / "knob.png";
    file.make(path);
    const SkinPicture skin = LoadSkinPicture(path, kWidth, kHeight);
    EXPECT_EQ(skin.refusal, file.refusal);
    const bool used = std::string(file.name) == "Fits";
    ASSERT_EQ(skin.bitmap != nullptr, used);
    if (used) {
      EXPECT_EQ(LICE_PixelR(LICE_RowPointer(skin.bitmap.get(), kHeight - 1)[kWidth - 1]), 200);
    }
  }
}

// The table draws the built-in picture in place of one that does not fit, says so
// once per file, and leaves the rest of the skin in use.
TEST(SkinFolder, RefusedPicturesFallBackAndAreReportedOnce) {
  TempFolder skin;
  writeText(skin / "knob.png", pngOf(1, 1));
  writeText(skin / "led.png", pngOf(kWidth, kHeight, 77));
  const std::string builtIn = pngOf(kWidth, kHeight, 11);
  for (const char* name : {"knob", "led", "lamp"})
    BitmapResources::Register(name, builtIn.data(), builtIn.size());
  BitmapResources::SetSkinFolder(skin.path());
  auto redOf = [](const char* name) {
    std::unique_ptr<LICE_IBitmap> image(BitmapResources::Load(name));
    return image ? int(LICE_PixelR(LICE_RowPointer(image.get(), 0)[0])) : -1;
  };

  testing::internal::CaptureStderr();
  const std::vector<int> reds = {redOf("img/knob.png"), redOf("img/led.png"), redOf("img/lamp.png"),
                                 redOf("img/knob.png")};
  const std::string firstReport = testing::internal::GetCapturedStderr();
  EXPECT_EQ(reds, std::vector<int>({11, 77, 11, 11}));
  EXPECT_EQ(
      firstReport,
      "skin picture " + skin / "knob.png" +
          " not used (wrong size: 1 x 1 pixels, wanted 16 x 32); the built-in picture is drawn\n");

  // Choosing the skin folder again starts the reports afresh; no folder, no skin.
  BitmapResources::SetSkinFolder(skin.path());
  testing::internal::CaptureStderr();
  redOf("knob.png");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), firstReport);
  BitmapResources::SetSkinFolder("");
  EXPECT_EQ(redOf("led.png"), 11);
  BitmapResources::Clear();
}

}  // namespace
