// The built bundle as a host's scanner sees it: nested module entries, the factory and
// class info matching the bundle's moduleinfo.json, the class id's bytes in the system's
// order, and instances that are one object behind every interface. (Its layout and
// exported functions are vst3-check's on Linux, tests/plugin's from the DLL's headers
// on Windows.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/Vst3ModuleInfo.h"
#include "shell/ZorqVersion.h"
#include "formats/vst3/Vst3Text.h"
#include "hosting/Vst3PluginHost.h"
#include "support/TempFolder.h"
#include "system/DynamicLibrary.h"

#ifdef ZORQ_VST3_BUNDLE
TEST(Vst3Module, FactoryReportsWhatModuleInfoSays) {
  const Vst3Module module(ZORQ_VST3_BUNDLE);  // loaded and entered, as a host's loader does
  // Entered again, as a second host in the process does, and left at the end.
  void* library = openLibrary(Vst3Module::binaryOf(ZORQ_VST3_BUNDLE).c_str());
  ASSERT_NE(library, nullptr) << libraryError();
#ifdef _WIN32
  const auto enter = reinterpret_cast<bool (*)()>(librarySymbol(library, "InitDll"));
  const auto leave = reinterpret_cast<bool (*)()>(librarySymbol(library, "ExitDll"));
  ASSERT_TRUE(enter && leave && enter());
#else
  const auto enter = reinterpret_cast<bool (*)(void*)>(librarySymbol(library, "ModuleEntry"));
  const auto leave = reinterpret_cast<bool (*)()>(librarySymbol(library, "ModuleExit"));
  ASSERT_TRUE(enter && leave && enter(library));
#endif
  vst3::IPluginFactory* factory =
      reinterpret_cast<vst3::GetFactoryProc>(librarySymbol(library, "GetPluginFactory"))();
  ASSERT_NE(factory, nullptr);
  EXPECT_EQ(vst3moduleinfo::write(factory, "ZORQ", ZorqVersion::kText),
            readText(std::string(ZORQ_VST3_BUNDLE) + "/Contents/Resources/moduleinfo.json"));

  vst3::PClassInfo info{};
  ASSERT_EQ(factory->getClassInfo(0, &info), vst3::kResultOk);
  // The id's text form is its four words, whatever the platform's byte order; the bytes
  // follow the system's rule, so that hosts on both see the same plug-in.
  EXPECT_EQ(vst3moduleinfo::uidText(info.cid), "D73CBADA3426628507E5950EA0A3D407");
#ifdef _WIN32
  const unsigned char expected[16] = {0xDA, 0xBA, 0x3C, 0xD7, 0x26, 0x34, 0x85, 0x62,
                                      0x07, 0xE5, 0x95, 0x0E, 0xA0, 0xA3, 0xD4, 0x07};
#else
  const unsigned char expected[16] = {0xD7, 0x3C, 0xBA, 0xDA, 0x34, 0x26, 0x62, 0x85,
                                      0x07, 0xE5, 0x95, 0x0E, 0xA0, 0xA3, 0xD4, 0x07};
#endif
  EXPECT_EQ(std::memcmp(info.cid, expected, 16), 0);
  void* third = nullptr;
  ASSERT_EQ(factory->queryInterface(vst3::IPluginFactory3::iid.bytes, &third), vst3::kResultOk);
  auto* factory3 = static_cast<vst3::IPluginFactory3*>(third);
  vst3::PClassInfoW wide{};
  ASSERT_EQ(factory3->getClassInfoUnicode(0, &wide), vst3::kResultOk);
  EXPECT_EQ(vst3text::toUtf8(wide.name, 64), "ZORQ");
  EXPECT_EQ(vst3text::toUtf8(wide.version, 64), ZorqVersion::kText);
  EXPECT_EQ(factory3->getClassInfoUnicode(1, &wide), vst3::kInvalidArgument);
  factory3->release();

  // One object behind the component, processor and controller; unknown classes refused.
  void* object = reinterpret_cast<void*>(1);
  const vst3::Uid unknown = vst3::uid(1, 2, 3, 4);
  EXPECT_EQ(factory->createInstance(unknown.bytes, vst3::IComponent::iid.bytes, &object),
            vst3::kNoInterface);
  EXPECT_EQ(object, nullptr);
  ASSERT_EQ(factory->createInstance(info.cid, vst3::IComponent::iid.bytes, &object),
            vst3::kResultOk);
  auto* component = static_cast<vst3::IComponent*>(object);
  void* controller = nullptr;
  void* identity[2] = {};
  ASSERT_EQ(component->queryInterface(vst3::IEditController::iid.bytes, &controller),
            vst3::kResultOk);
  static_cast<vst3::IEditController*>(controller)
      ->queryInterface(vst3::FUnknown::iid.bytes, &identity[0]);
  component->queryInterface(vst3::FUnknown::iid.bytes, &identity[1]);
  EXPECT_EQ(identity[0], identity[1]);
  for (void* reference : {identity[0], identity[1], controller})
    static_cast<vst3::FUnknown*>(reference)->release();
  EXPECT_EQ(component->release(), 0u);
  factory->release();
  EXPECT_TRUE(leave());
  closeLibrary(library);
}
#else
TEST(Vst3Module, FactoryReportsWhatModuleInfoSays) {
  GTEST_SKIP() << "this build makes no VST 3 bundle (64-bit builds only)";
}
#endif
