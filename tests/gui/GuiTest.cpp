// The graphics context on the headless platform: value logic and drawing of the standard
// controls, bitmaps by resource name and skin pictures, the popup menu model, prompts, hit
// testing and mouse dispatch with the host's gestures, the redraw cadence, the wiring to
// the plug-in through the adapter, and values pushed from other threads.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <thread>
#include <tuple>

#include "GuiTestSupport.h"
#include "gui/BitmapResources.h"
#include "gui/IBitmapControl.h"
#include "gui/IFileSelectorControl.h"
#include "gui/IKnobControl.h"
#include "gui/IPopupMenu.h"
#include "gui/SkinPicture.h"
#include "raster/LICE.h"
#include "support/TempFolder.h"

namespace {

// A 65-frame knob shows the frame its value selects; grayed out, it draws at a
// quarter weight over the black panel.
TEST(Knob, DrawsTheNearestFrameAndGrayedAtAQuarter) {
  using Row = std::tuple<double, int, bool>;
  for (const auto& [value, frame, grayed] :
       {Row{0.5, 33, false}, Row{0.0078, 1, false}, Row{0.0079, 2, false}, Row{7.0, 65, false},
        Row{NAN, 1, false}, Row{1.0, 65, true}}) {
    SCOPED_TRACE(::testing::Message() << "value " << value << (grayed ? " grayed" : ""));
    TestEditor editor(40, 40);
    editor.graphics->AttachPanelBackground(&COLOR_BLACK);
    auto frames = numberedFrames(6, 5, 65);
    IBitmap bitmap(frames.get(), 6, 5 * 65, 65);
    auto* knob = editor.add(new IKnobMultiControl(&editor.plug, 3, 4, -1, &bitmap));
    editor.attach();
    knob->SetValueFromPlug(value);
    knob->GrayOut(grayed);
    editor.settle();
    const int red = LICE_PixelR(LICE_RowPointer(editor.graphics->GetDrawBitmap(), 8)[5]);
    EXPECT_EQ(red, grayed ? 16 : frame - 1);  // 64 at a weight of 64/256
  }
}

// A 40 x 40 knob with gearing 4 bound to "Gain": drags in pixels (y downwards for
// vertical knobs), wheel steps, with shift or control for fine steps.
TEST(Knob, DragAndWheelMoveTheValue) {
  using Dir = IKnobControl::EDirection;
  using Row = std::tuple<const char*, Dir, double, bool, int, IMouseMod, double>;
  for (const auto& [name, direction, start, wheel, delta, modifiers, expected] :
       {Row{"UpTenPixels", Dir::kVertical, 0.5, false, -10, {true}, 0.5625},
        Row{"UpTenWithShift", Dir::kVertical, 0.5, false, -10, {true, false, true}, 0.50625},
        Row{"AtTheTopStaysThere", Dir::kVertical, 1.0, false, -30, {true}, 1.0},
        Row{"FirstPixelDownFromTheTop", Dir::kVertical, 1.0, false, 1, {true}, 0.99375},
        Row{"HorizontalRight", Dir::kHorizontal, 0.5, false, 8, {true}, 0.55},
        Row{"WheelUpThree", Dir::kVertical, 0.5, true, 3, {}, 0.53},
        Row{"WheelFineDown", Dir::kVertical, 0.5, true, -3, {false, false, true}, 0.497},
        Row{"WheelPastTheBottom", Dir::kVertical, 0.5, true, -100, {}, 0.0}}) {
    SCOPED_TRACE(name);
    TestEditor editor;
    auto* knob = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0, direction);
    editor.graphics->AttachControl(knob);
    editor.attach();
    knob->SetValueFromUserInput(start);
    IMouseMod mod = modifiers;
    const bool vertical = direction == Dir::kVertical;
    if (wheel)
      knob->OnMouseWheel(20, 20, &mod, delta);
    else
      knob->OnMouseDrag(20, 20, vertical ? 0 : delta, vertical ? delta : 0, &mod);
    EXPECT_DOUBLE_EQ(knob->GetValue(), expected);
  }
}

TEST(Switches, StepThroughTheirFramesAndWrapAndContactsSpringBack) {
  TestEditor editor;
  IBitmap three(nullptr, 10, 30, 3), one(nullptr, 10, 10, 1), two(nullptr, 10, 20, 2);
  ISwitchControl threeWay(&editor.plug, 0, 0, -1, &three), single(&editor.plug, 0, 0, -1, &one);
  IMouseMod right(false, true);
  std::vector<double> threeWayValues, singleValues;
  for (int click = 0; click < 4; ++click) {
    threeWay.OnMouseDown(1, 1, &right);
    single.OnMouseDown(1, 1, &right);
    threeWayValues.push_back(threeWay.GetValue());
    singleValues.push_back(single.GetValue());
  }
  EXPECT_EQ(threeWayValues, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  EXPECT_EQ(singleValues, (std::vector<double>{1.0, 0.0, 1.0, 0.0}));

  auto* contact = editor.add(new IContactControl(&editor.plug, 0, 0, 2, &two));
  editor.attach();
  IMouseMod mod(true);
  editor.graphics->OnMouseDown(1, 1, &mod);
  EXPECT_EQ(editor.plug.GetParam(2)->Value(), 1.0);
  editor.graphics->OnMouseUp(1, 1, &mod);
  EXPECT_EQ(contact->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.GetParam(2)->Value(), 0.0);
}

// Images by base name, from memory or a folder; the first load of an id decides its
// image; refused, missing and broken ones give an empty image that keeps its frames.
TEST(Bitmaps, LoadByBaseNameAndMissingOnesStayEmpty) {
  TempFolder folder;
  LICE_MemBitmap lamp(16, 32);
  ASSERT_TRUE(LICE_WritePNG((folder / "lamp.png").c_str(), &lamp));
  const std::string bytes = readText(folder / "lamp.png");
  BitmapResources::AddFolder(folder.path());
  BitmapResources::Register("in_memory", bytes.data(), bytes.size());
  BitmapResources::Register("broken", bytes.data(), bytes.size() / 2);
  TestEditor editor;
  IGraphics& g = *editor.graphics;
  const IBitmap fromMemory = g.LoadIBitmap(9010, "img/in_memory.PNG", 2);
  EXPECT_EQ(fromMemory.W, 16);
  EXPECT_EQ(fromMemory.FrameHeight(), 16);
  EXPECT_EQ(g.LoadIBitmap(9010, "resources/img/lamp.png").mData, fromMemory.mData);
  int id = 9012;
  for (const char* name : {"resources/img/none.png", "resources/img/lamp.bmp", "broken.png"}) {
    const IBitmap missing = g.LoadIBitmap(id++, name, 65);
    EXPECT_EQ(std::vector<int>({missing.W, missing.H, missing.N, missing.FrameForValue(0.5)}),
              std::vector<int>({0, 0, 65, 33}))
        << name;
  }
  EXPECT_EQ(g.LoadIBitmap(9020, "none.png", 0).N, 1);
  BitmapResources::Clear();
}

TEST(PopupMenu, InsertsByIndexChecksAloneAndHoldsSubmenus) {
  // Insertion indexes of items "0", "1", ... into "a".."m": past the end, then at the old
  // end; before the start; twice at the same place.
  for (const auto& [indexes, expected] :
       {std::pair<std::vector<int>, std::string>{{14, 13}, "abcdefghijklm10"},
        {{-7}, "0abcdefghijklm"},
        {{2, 2}, "ab10cdefghijklm"}}) {
    IPopupMenu menu;
    for (char letter = 'a'; letter <= 'm'; ++letter) menu.AddItem(std::string(1, letter).c_str());
    for (size_t i = 0; i < indexes.size(); ++i) menu.AddItem(std::to_string(i).c_str(), indexes[i]);
    std::string texts;
    for (int i = 0; i < menu.GetNItems(); ++i) texts += menu.GetItemText(i);
    EXPECT_EQ(texts, expected);
  }
  IPopupMenu menu;
  menu.AddItem("x");
  menu.AddSeparator();
  IPopupMenu* sub = new IPopupMenu;
  menu.AddItem("more", sub)->SetChecked(true);
  menu.CheckItemAlone(0);
  EXPECT_TRUE(menu.IsItemChecked(0));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_EQ(menu.GetItem(2)->GetSubmenu(), sub);
  EXPECT_EQ(menu.GetItem(3), nullptr);
  EXPECT_STREQ(menu.GetItemText(-1), "");
}

// Skin pictures are checked against the built-in picture they would replace: only a
// PNG of the same size is used; every other file is refused with its reason, which
// the PNG table reports once on standard error. (A file that is not there is no
// refusal: the skin folder's test below. More damaged PNGs, and one with its sides
// swapped, are fuzz regression inputs, fuzz/regressions/png.)
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
  const char* refusal;  // empty: used
};

const SkinFile kSkinFiles[] = {
    {"Fits", [](const std::string& p) { writeText(p, pngOf(kWidth, kHeight)); }, ""},
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
    const bool used = *file.refusal == '\0';
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

// Hit testing, mouse dispatch with the host's edit gestures and the redraw cadence; the
// editor wired to the plug-in through the adapter; values pushed from other threads.
// Background panel (0), a lower control (1) at (10,10)-(50,50) and an upper one (2)
// at (30,30)-(70,70) overlapping it.
TEST(IGraphics, HitTestFindsTheTopmostCandidate) {
  enum Upper { kVisible, kHidden, kGrayed, kGrayedMouseOver };
  for (const auto& [name, state, x, y, mouseOver, expected] :
       {std::tuple{"OverlapGoesToTheLaterControl", kVisible, 40, 40, false, 2},
        {"HiddenLetsTheClickThrough", kHidden, 40, 40, false, 1},
        {"GrayedIsHoveredWhenAllowed", kGrayedMouseOver, 40, 40, true, 2},
        {"GrayedIsNotClickedWhenHoverAllowed", kGrayedMouseOver, 40, 40, false, 1},
        {"RightAndBottomEdgesAreOutside", kVisible, 70, 70, false, 0},
        {"OutsideTheEditorHitsNothing", kVisible, 250, 50, false, -1}}) {
    SCOPED_TRACE(name);
    TestEditor editor;
    IGraphics& g = *editor.graphics;
    g.AttachPanelBackground(&COLOR_BLACK);
    editor.add(new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50)));
    auto* upper = editor.add(new RecordingControl(&editor.plug, IRECT(30, 30, 70, 70)));
    upper->Hide(state == kHidden);
    upper->GrayOut(state == kGrayed || state == kGrayedMouseOver);
    upper->SetMOWhenGrayed(state == kGrayedMouseOver);
    EXPECT_EQ(g.GetMouseControlIdx(x, y, mouseOver), expected);
  }
}

struct Dispatch : ::testing::Test {
  TestEditor editor;
  RecordingControl* control =
      editor.add(new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50), 0));
  IGraphics& g = *editor.graphics;
  IMouseMod mod{true};
};

// Drag deltas follow the previous event and repeats are dropped; the captured control
// gets the mouse-up outside every control, which closes the host's gesture.
TEST_F(Dispatch, DragsFollowThePreviousEventAndAMouseUpOutsideClosesTheHostGesture) {
  editor.attach();
  g.OnMouseDown(20, 20, &mod);
  for (auto [x, y] : {std::pair{20, 23}, {20, 23}, {20, 20}, {60, 90}}) g.OnMouseDrag(x, y, &mod);
  g.OnMouseUp(-5, 300, &mod);
  EXPECT_EQ(control->events,
            (std::vector<std::string>{"down", "drag 0,3", "drag 0,-3", "drag 40,70", "up"}));
  EXPECT_EQ(editor.plug.editOpcodes(),
            (std::vector<int>{audioMasterBeginEdit, audioMasterEndEdit}));
  EXPECT_EQ(g.GetMouseCapture(), -1);
}

// Second click of a double click: the capture is released and not taken again; the
// following mouse-up still ends a host gesture at the control under the pointer, and
// later drags reach nothing.
TEST_F(Dispatch, DoubleClickReleasesTheCapture) {
  IBitmap twoFrames(nullptr, 10, 20, 2);
  auto* toggle = editor.add(new ISwitchControl(&editor.plug, 60, 10, 2, &twoFrames));
  editor.attach();
  g.OnMouseDown(62, 12, &mod);
  g.OnMouseUp(62, 12, &mod);
  EXPECT_EQ(toggle->GetValue(), 1.0);
  g.OnMouseDblClick(62, 12, &mod);
  EXPECT_EQ(g.GetMouseCapture(), -1);
  EXPECT_EQ(toggle->GetValue(), 0.0);  // a fast double click steps twice in all
  g.OnMouseUp(62, 12, &mod);
  g.OnMouseDrag(65, 40, &mod);
  EXPECT_EQ(toggle->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.editOpcodes(),
            (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit,
                              audioMasterAutomate, audioMasterEndEdit}));
}

// The level meter's index names no parameter: no gesture, no parameter change, no
// automation, whatever the mouse does.
TEST_F(Dispatch, IndexWithoutParameterReachesNeitherParameterNorHost) {
  auto frames = numberedFrames(8, 8, 31);
  IBitmap meterBitmap(frames.get(), 8, 8 * 31, 31);
  auto* meter = editor.add(new IKnobMultiControl(&editor.plug, 60, 10, 112, &meterBitmap));
  editor.attach();
  editor.plug.changes.clear();
  g.OnMouseDown(62, 12, &mod);
  g.OnMouseDrag(62, 2, &mod);
  g.OnMouseUp(62, 2, &mod);
  g.OnMouseWheel(62, 12, &mod, 5);
  g.OnMouseDblClick(62, 12, &mod);
  EXPECT_GT(meter->GetValue(), 0.0);
  EXPECT_TRUE(editor.plug.editOpcodes().empty());
  EXPECT_TRUE(editor.plug.changes.empty());
}

TEST_F(Dispatch, OnIdleRunsOnThe21stCleanTickAndADirtyTickRestartsTheCount) {
  editor.attach();
  editor.settle();  // draws the freshly attached control, then one tick finds nothing
  auto idlesAfterCleanTicks = [&](int n) {
    for (IRECT r; n > 0; --n) EXPECT_FALSE(g.IsDirty(&r));
    return editor.plug.idles;
  };
  editor.plug.idles = 0;
  EXPECT_EQ(idlesAfterCleanTicks(19), 0);  // 20 clean ticks so far
  EXPECT_EQ(idlesAfterCleanTicks(1), 1);
  idlesAfterCleanTicks(10);
  control->SetValueFromPlug(0.9);
  editor.settle();
  EXPECT_EQ(idlesAfterCleanTicks(19), 1);
  EXPECT_EQ(idlesAfterCleanTicks(2), 2);
}

// The editor wired to the plug-in through the real adapter callbacks: attaching, host
// automation, typed values, and a double click going back to the value first pushed.
TEST(Wired, AttachAndHostAutomationMoveTheControlsAndDoubleClickRestoresTheFirstValue) {
  TestEditor editor;
  auto* gain = editor.add(new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0));
  auto* gainFollower = editor.add(new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 1));
  gainFollower->AddAuxParam(0);
  auto* freq = editor.add(new RecordingKnob(&editor.plug, IRECT(110, 10, 150, 50), 3));
  editor.attach();  // Gain's default 0.5 becomes the knob's default
  AEffect* effect = editor.effect();
  EXPECT_EQ(gain->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized());
  EXPECT_EQ(gainFollower->GetAuxParam(0)->mValue.load(), 0.5);
  EXPECT_EQ(gainFollower->GetAuxParam(1), nullptr);  // one auxiliary parameter only
  EXPECT_EQ(effect->flags & effFlagsHasEditor, 0);   // the headless layer shows no window

  editor.settle();
  effect->setParameter(effect, 0, 0.25f);
  EXPECT_EQ(gain->GetValue(), 0.25);
  EXPECT_EQ(gainFollower->GetAuxParam(0)->mValue.load(), 0.25);
  char typed[] = "1000";
  effect->dispatcher(effect, effString2Parameter, 3, 0, typed, 0.0f);
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized(1000.0));
  EXPECT_TRUE(editor.plug.editOpcodes().empty());  // host automation is not echoed back
  IMouseMod mod(true);
  editor.graphics->OnMouseDblClick(20, 20, &mod);
  EXPECT_EQ(gain->GetValue(), 0.5);
  EXPECT_EQ(editor.plug.GetParam(0)->Value(), 0.5);
}

// The host's factor wins, else the screen's, else the user's.
TEST(EditorScale, HostThenScreenThenUserDecideTheWindowSize) {
  // The host's factor (0: none sent), the screen's, the user's, and the scale chosen.
  using Row = std::tuple<const char*, float, int, int, int>;
  for (const auto& [name, hostFactor, systemScale, preferred, expected] :
       {Row{"NothingSaysSoOne", 0.0f, 0, 0, 1}, Row{"UsersChoice", 0.0f, 0, 2, 2},
        Row{"ScreenBeforeUser", 0.0f, 2, 1, 2}, Row{"HostBeforeScreen", 1.0f, 2, 2, 1},
        Row{"HostOneAndAHalfDoubles", 1.5f, 0, 0, 2},
        Row{"HostBelowOneAndAHalf", 1.25f, 0, 2, 1}}) {
    SCOPED_TRACE(name);
    TestEditor editor;
    editor.platform->canOpenWindow = true;
    editor.platform->systemScale = systemScale;
    editor.graphics->SetPreferredScale(preferred);
    editor.attach();
    AEffect* effect = editor.effect();
    if (hostFactor > 0)
      effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue,
                         nullptr, hostFactor);
    ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0), 1);
    EXPECT_EQ(rect->right, 200 * expected);
    EXPECT_EQ(rect->bottom, 100 * expected);
    EXPECT_TRUE(effect->flags & effFlagsHasEditor);
  }
}

TEST(EditorScale, AnOpenWindowsHostIsAskedToResizeOnce) {
  TestEditor editor;
  editor.attach();
  AEffect* effect = editor.effect();
  ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0), 1);
  for (int i = 0; i < 2; ++i)  // the second message changes nothing
    effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue,
                       nullptr, 2.0f);
  std::vector<int> resizedWidths;
  for (const RecordedHostCall& call : editor.plug.calls)
    if (call.opcode == audioMasterSizeWindow) resizedWidths.push_back(call.index);
  EXPECT_EQ(resizedWidths, std::vector<int>{400});
  EXPECT_TRUE(editor.platform->Called("WindowResized", {"200", "100"}));
}

// Values pushed into the controls from the audio thread (learned controllers) and
// the host's automation thread while the editor's thread draws and edits. The
// ThreadSanitizer build (make test-tsan) reports any unsynchronised access.

TEST(Concurrency, PushedValuesAndEditorThreadShareControlsSafely) {
  TestEditor editor(120, 60);
  auto frames = numberedFrames(20, 20, 65);
  IBitmap knobBitmap(frames.get(), 20, 20 * 65, 65);
  auto* gain = editor.add(new IKnobMultiControl(&editor.plug, 0, 0, 0, &knobBitmap));
  auto* follower = editor.add(new IKnobMultiControl(&editor.plug, 30, 0, 1, &knobBitmap));
  follower->AddAuxParam(0);
  IBitmap lamp(frames.get(), 20, 40, 2);
  editor.add(new ISwitchControl(&editor.plug, 60, 0, 2, &lamp));
  editor.attach();
  editor.platform->windowOpen = true;
  AEffect* effect = editor.effect();

  constexpr int kRounds = 4000;
  std::atomic<int> running{2};
  std::thread audio([&] {
    for (int i = 0; i < kRounds; ++i) {
      editor.graphics->SetParameterFromPlug(0, (i % 100) / 100.0, true);
      editor.graphics->SetParameterFromPlug(2, i & 1, false);
    }
    --running;
  });
  std::thread automation([&] {
    for (int i = 0; i < kRounds; ++i) effect->setParameter(effect, 0, float(i % 7) / 7.0f);
    --running;
  });
  IMouseMod mod(true);
  int y = 10;
  while (running > 0) {
    editor.platform->Tick();
    editor.graphics->OnMouseDown(10, 10, &mod);
    editor.graphics->OnMouseDrag(10, y = (y == 10 ? 4 : 10), &mod);
    editor.graphics->OnMouseUp(10, y, &mod);
    editor.graphics->OnMouseDown(65, 5, &mod);
    editor.graphics->OnMouseUp(65, 5, &mod);
  }
  audio.join();
  automation.join();
  editor.settle();
  for (const double value : {gain->GetValue(), follower->GetAuxParam(0)->mValue.load()}) {
    EXPECT_GE(value, 0.0);
    EXPECT_LE(value, 1.0);
  }
}

}  // namespace

// The platform prompts as controls see them through the graphics context: none while the
// window is closed (a file selector then clears its file); an enum opens a menu of its
// texts, a double a text field read by the text path; a file selector remembers the
// folder and clears its file on cancel.
TEST(Prompts, MenusTextFieldsAndFilePromptsOnlyWithTheWindowOpen) {
  TestEditor editor;
  auto* mode = editor.add(new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 1));
  auto* freq = editor.add(new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 3));
  for (RecordingKnob* knob : {mode, freq}) knob->DisablePrompt(false);
  auto* selector = editor.add(
      new IFileSelectorControl(&editor.plug, IRECT(110, 10, 130, 30), -1, kFileOpen, "", "wav"));
  editor.attach();
  HeadlessPlatform& platform = *editor.platform;
  IMouseMod left(true), right(false, true);
  auto clickedFile = [&] {
    std::string file;
    editor.graphics->OnMouseDown(115, 15, &left);
    selector->GetLastSelectedFileForPlug(&file);
    return file;
  };
  editor.graphics->OnMouseDown(20, 20, &right);
  selector->SetLastSelectedFileFromPlug("/old.wav");
  EXPECT_EQ(clickedFile(), "");
  EXPECT_EQ(platform.Count("CreateIPopupMenu") + platform.Count("PromptForFile"), 0);

  platform.windowOpen = true;
  platform.menuAnswers.push_back({2});
  mode->PromptUserInput();
  EXPECT_TRUE(platform.Called("CreateIPopupMenu", {"A|B|C", "10,10,50,50"}));
  EXPECT_EQ(editor.plug.GetParam(1)->Int(), 2);
  platform.textEntryAnswers.push_back(std::string("880"));
  freq->PromptUserInput();
  EXPECT_TRUE(platform.Called("CreateTextEntry", {"440.0", "60,22,100,38"}));
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(3)->Value(), 880.0);
  platform.textEntryAnswers.push_back(std::string("loud"));  // names no value
  freq->PromptUserInput();
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(3)->Value(), 880.0);

  platform.fileAnswers = {std::string("/music/take 2.wav"), std::nullopt};
  EXPECT_EQ(clickedFile(), "/music/take 2.wav");
  EXPECT_EQ(clickedFile(), "");  // cancelled: empty file, folder kept
  EXPECT_TRUE(platform.Called("PromptForFile", {"", "open", "~/Desktop", "wav"}));
  EXPECT_TRUE(platform.Called("PromptForFile", {"/music/take 2.wav", "open", "/music/", "wav"}));
}
