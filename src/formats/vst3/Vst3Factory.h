#pragma once

// The library side of a VST 3 module: the module's entry and exit, counted (several
// hosts or wrappers in one process may enter it again before it exits; only the first
// entry and the last exit count), and the plug-in factory that describes the one
// class and creates its instances through the function the plug-in file gives. The
// factory is one object for the module's life; the host's references to it are
// counted but never free it.
#include <atomic>
#include <memory>
#include <mutex>

#include "formats/vst3/Vst3Abi.h"

class IPlugBase;

// What the factory reports of the module and its one class.
struct Vst3ClassDescription {
  const char* vendor;
  const char* url;
  const char* email;
  vst3::Uid classId;
  const char* name;
  const char* subCategories;  // "|"-joined
  const char* version;
  const char* sdkVersion;
};

class Vst3Factory final : public vst3::IPluginFactory3 {
 public:
  // Builds a plug-in with its editor attached; null or an exception when it cannot.
  // Any thread; the factory serialises the calls.
  using CreatePlug = std::unique_ptr<IPlugBase> (*)();

  Vst3Factory(const Vst3ClassDescription& description, CreatePlug create);
  Vst3Factory(const Vst3Factory&) = delete;
  Vst3Factory& operator=(const Vst3Factory&) = delete;
  ~Vst3Factory();

  // The module's entry and exit; true.
  bool enter();
  bool exit();
  // The factory as GetPluginFactory returns it: one more reference for the caller.
  vst3::IPluginFactory* acquire();

  // FUnknown
  vst3::tresult ZORQ_VST3_API queryInterface(const vst3::TUID interfaceId, void** obj) override;
  vst3::uint32 ZORQ_VST3_API addRef() override;
  vst3::uint32 ZORQ_VST3_API release() override;
  // IPluginFactory, IPluginFactory2, IPluginFactory3; any thread.
  vst3::tresult ZORQ_VST3_API getFactoryInfo(vst3::PFactoryInfo* info) override;
  vst3::int32 ZORQ_VST3_API countClasses() override { return 1; }
  vst3::tresult ZORQ_VST3_API getClassInfo(vst3::int32 index, vst3::PClassInfo* info) override;
  vst3::tresult ZORQ_VST3_API createInstance(vst3::FIDString classId, vst3::FIDString interfaceId,
                                             void** obj) override;
  vst3::tresult ZORQ_VST3_API getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) override;
  vst3::tresult ZORQ_VST3_API getClassInfoUnicode(vst3::int32 index,
                                                  vst3::PClassInfoW* info) override;
  vst3::tresult ZORQ_VST3_API setHostContext(vst3::FUnknown* context) override;

 private:
  const Vst3ClassDescription description_;
  CreatePlug create_;
  std::mutex mutex_;
  std::atomic<int> entries_{0};
  std::atomic<vst3::uint32> references_{0};
  vst3::FUnknown* hostContext_ = nullptr;  // held; released on a new one or at the end
};
