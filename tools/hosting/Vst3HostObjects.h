#pragma once

// The host's side of the VST 3 interface, as Vst3PluginHost offers it to a plug-in: a
// memory stream (which may move fewer bytes than asked, as some hosts' streams do), the
// parameter changes and events of one block, the component handler (which records
// edits and restarts and passes them on), and the plug-in frame with a Linux run loop
// whose handlers the host's loop calls. Each object lives as long as its owner;
// references are counted but free nothing. Storage that a block refills is kept, so a
// block allocates nothing once it has been as long.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/vst3/Vst3Abi.h"

// FUnknown for an object its owner keeps: answers its own interfaces.
template <typename First, typename... Others>
class Vst3HostObject : public First, public Others... {
 public:
  vst3::tresult ZORQ_VST3_API queryInterface(const vst3::TUID interfaceId, void** obj) override {
    *obj = nullptr;
    if (vst3::sameUid(interfaceId, vst3::FUnknown::iid.bytes) ||
        vst3::sameUid(interfaceId, First::iid.bytes))
      *obj = static_cast<First*>(this);
    (void)(... ||
           (vst3::sameUid(interfaceId, Others::iid.bytes) && (*obj = static_cast<Others*>(this))));
    if (!*obj) return vst3::kNoInterface;
    ++references;
    return vst3::kResultOk;
  }
  vst3::uint32 ZORQ_VST3_API addRef() override { return ++references; }
  vst3::uint32 ZORQ_VST3_API release() override { return --references; }
  int references = 0;  // what the plug-in holds
};

class Vst3MemoryStream : public Vst3HostObject<vst3::IBStream> {
 public:
  explicit Vst3MemoryStream(std::vector<uint8_t> contents = {}, size_t piece = SIZE_MAX)
      : bytes(std::move(contents)), piece_(piece) {}
  vst3::tresult ZORQ_VST3_API read(void* buffer, vst3::int32 numBytes,
                                   vst3::int32* numBytesRead) override;
  vst3::tresult ZORQ_VST3_API write(void* buffer, vst3::int32 numBytes,
                                    vst3::int32* numBytesWritten) override;
  vst3::tresult ZORQ_VST3_API seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override;
  vst3::tresult ZORQ_VST3_API tell(vst3::int64* pos) override;

  std::vector<uint8_t> bytes;
  size_t position = 0;

 private:
  size_t piece_;
};

class Vst3ParamValueQueue final : public Vst3HostObject<vst3::IParamValueQueue> {
 public:
  struct Point {
    vst3::int32 offset;
    vst3::ParamValue value;
  };
  explicit Vst3ParamValueQueue(vst3::ParamID parameter = 0) : id(parameter) {}
  vst3::ParamID ZORQ_VST3_API getParameterId() override { return id; }
  vst3::int32 ZORQ_VST3_API getPointCount() override {
    return static_cast<vst3::int32>(points.size());
  }
  vst3::tresult ZORQ_VST3_API getPoint(vst3::int32 index, vst3::int32& offset,
                                       vst3::ParamValue& value) override;
  vst3::tresult ZORQ_VST3_API addPoint(vst3::int32 offset, vst3::ParamValue value,
                                       vst3::int32& index) override;
  vst3::ParamID id;
  std::vector<Point> points;
};

// Queues are kept (with their storage) from block to block; clear() empties them.
class Vst3ParameterChanges : public Vst3HostObject<vst3::IParameterChanges> {
 public:
  static constexpr size_t kCapacity = 1024;
  Vst3ParameterChanges() { queues_.reserve(kCapacity); }
  vst3::int32 ZORQ_VST3_API getParameterCount() override { return used_; }
  vst3::IParamValueQueue* ZORQ_VST3_API getParameterData(vst3::int32 index) override;
  vst3::IParamValueQueue* ZORQ_VST3_API addParameterData(const vst3::ParamID& id,
                                                         vst3::int32& index) override;
  // A point for `id`, in a queue of its own.
  void add(vst3::ParamID id, vst3::int32 offset, double value);
  // The last value given for `id`, or -1.
  double last(vst3::ParamID id) const;
  void clear();

 private:
  std::vector<Vst3ParamValueQueue> queues_;
  vst3::int32 used_ = 0;
};

class Vst3EventList : public Vst3HostObject<vst3::IEventList> {
 public:
  vst3::int32 ZORQ_VST3_API getEventCount() override {
    return static_cast<vst3::int32>(events.size());
  }
  vst3::tresult ZORQ_VST3_API getEvent(vst3::int32 index, vst3::Event& e) override;
  vst3::tresult ZORQ_VST3_API addEvent(vst3::Event& e) override;
  void note(bool on, vst3::int32 offset, int pitch, float velocity, int channel = 0);
  std::vector<vst3::Event> events;
};

class Vst3ComponentHandler : public Vst3HostObject<vst3::IComponentHandler, vst3::IUnitHandler> {
 public:
  struct Edit {
    char kind;  // 'b' begin, 'p' perform, 'e' end
    vst3::ParamID id;
    double value;
  };
  vst3::tresult ZORQ_VST3_API beginEdit(vst3::ParamID id) override;
  vst3::tresult ZORQ_VST3_API performEdit(vst3::ParamID id, vst3::ParamValue value) override;
  vst3::tresult ZORQ_VST3_API endEdit(vst3::ParamID id) override;
  vst3::tresult ZORQ_VST3_API restartComponent(vst3::int32 flags) override;
  vst3::tresult ZORQ_VST3_API notifyUnitSelection(vst3::UnitID) override { return vst3::kResultOk; }
  vst3::tresult ZORQ_VST3_API notifyProgramListChange(vst3::ProgramListID, vst3::int32) override;
  std::vector<Edit> edits;
  std::vector<vst3::int32> restarts;
  int programListChanges = 0;
  // Each edit and restart as it comes; UI thread.
  std::function<void(const Edit&)> onEdit;
  std::function<void(vst3::int32)> onRestart;
};

// The frame around an editor, with the run loop it offers (or not).
class Vst3PlugFrame : public Vst3HostObject<vst3::IPlugFrame, vst3::linux_ui::IRunLoop> {
 public:
  explicit Vst3PlugFrame(bool offersRunLoop = true) : offersRunLoop_(offersRunLoop) {}
  vst3::tresult ZORQ_VST3_API queryInterface(const vst3::TUID interfaceId, void** obj) override;
  vst3::tresult ZORQ_VST3_API resizeView(vst3::IPlugView* view, vst3::ViewRect* size) override;
  vst3::tresult ZORQ_VST3_API registerEventHandler(vst3::linux_ui::IEventHandler* handler,
                                                   vst3::linux_ui::FileDescriptor fd) override;
  vst3::tresult ZORQ_VST3_API unregisterEventHandler(vst3::linux_ui::IEventHandler*) override;
  vst3::tresult ZORQ_VST3_API registerTimer(vst3::linux_ui::ITimerHandler* handler,
                                            vst3::linux_ui::TimerInterval ms) override;
  vst3::tresult ZORQ_VST3_API unregisterTimer(vst3::linux_ui::ITimerHandler*) override;
  // The host's loop for `ms`: the descriptor's handler when it is readable, the timer's
  // when due. Returns how often the descriptor's handler ran.
  int run(int ms);

  vst3::linux_ui::IEventHandler* eventHandler = nullptr;  // held while registered
  int fd = -1;
  vst3::linux_ui::ITimerHandler* timer = nullptr;  // held while registered
  vst3::uint64 timerMs = 0;
  std::vector<vst3::ViewRect> resizes;

 private:
  bool offersRunLoop_;
};

// IHostApplication, with the host's name (ASCII).
class Vst3HostApplication : public Vst3HostObject<vst3::IHostApplication> {
 public:
  vst3::tresult ZORQ_VST3_API getName(vst3::String128 text) override;
  std::string name = "zorq-render";
  vst3::tresult ZORQ_VST3_API createInstance(vst3::TUID, vst3::TUID, void** obj) override {
    *obj = nullptr;
    return vst3::kNoInterface;
  }
};
