// The VST 3 view as a Windows host shows it: embedded as a child of the host's HWND at
// the size it reports, running on its own timer from the host's message loop (edits
// made in the editor reach the host without any call of the host's), and gone with
// the view.
#include <gtest/gtest.h>
#include <windows.h>

#include "engine/ZORQ.h"
#include "formats/vst3/IPlugVST3.h"
#include "hosting/Vst3PluginHost.h"
#include "plugin/Instrument.h"

TEST(Vst3Win32Editor, RunsInTheHostsWindowOnItsOwnTimerAndLeavesNoWindow) {
  std::unique_ptr<ZORQ> plug = createInstrument();
  ZORQ& zorq = *plug;
  Vst3PluginHost host(static_cast<vst3::IComponent*>(new IPlugVST3(std::move(plug))));
  // A window class every process has stands in for the host's own.
  const HWND parent = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    1200, 900, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  ASSERT_NE(host.createEditor(), nullptr);
  const vst3::ViewRect size = host.editorSize();
  ASSERT_TRUE(host.attachEditor(parent));
  const HWND editor = GetWindow(parent, GW_CHILD);
  ASSERT_NE(editor, nullptr);
  RECT client = {};
  GetClientRect(editor, &client);
  EXPECT_EQ(client.right, size.right);
  EXPECT_EQ(client.bottom, size.bottom);

  zorq.BeginInformHostOfParamChange(kFinalVolume);
  zorq.SetParameterFromGUI(kFinalVolume, 0.6);
  zorq.EndInformHostOfParamChange(kFinalVolume);
  const DWORD end = GetTickCount() + 3000;
  while (host.handler().edits.size() < 3 && GetTickCount() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(5);
  }
  EXPECT_EQ(host.handler().edits.size(), 3u);

  host.closeEditor();
  EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
  EXPECT_FALSE(IsWindow(editor));
  DestroyWindow(parent);
}
