#include "hosting/Vst3HostObjects.h"

#ifndef _WIN32
#include <poll.h>
#endif

#include <algorithm>
#include <chrono>
#include <thread>
#include <cstring>

vst3::tresult Vst3MemoryStream::read(void* buffer, vst3::int32 numBytes,
                                     vst3::int32* numBytesRead) {
  const size_t wanted = numBytes > 0 ? std::min<size_t>(size_t(numBytes), piece_) : 0;
  const size_t count = std::min(wanted, bytes.size() - position);
  if (count > 0) std::memcpy(buffer, bytes.data() + position, count);
  position += count;
  if (numBytesRead) *numBytesRead = static_cast<vst3::int32>(count);
  return vst3::kResultOk;
}

vst3::tresult Vst3MemoryStream::write(void* buffer, vst3::int32 numBytes,
                                      vst3::int32* numBytesWritten) {
  const size_t count = numBytes > 0 ? std::min<size_t>(size_t(numBytes), piece_) : 0;
  if (bytes.size() < position + count) bytes.resize(position + count);
  if (count > 0) std::memcpy(bytes.data() + position, buffer, count);
  position += count;
  if (numBytesWritten) *numBytesWritten = static_cast<vst3::int32>(count);
  return vst3::kResultOk;
}

vst3::tresult Vst3MemoryStream::seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) {
  const vst3::int64 base = mode == vst3::kIBSeekCur   ? vst3::int64(position)
                           : mode == vst3::kIBSeekEnd ? vst3::int64(bytes.size())
                                                      : 0;
  if (base + pos < 0) return vst3::kInvalidArgument;
  position = std::min(size_t(base + pos), bytes.size());
  if (result) *result = vst3::int64(position);
  return vst3::kResultOk;
}

vst3::tresult Vst3MemoryStream::tell(vst3::int64* pos) {
  if (pos) *pos = vst3::int64(position);
  return vst3::kResultOk;
}

vst3::tresult Vst3ParamValueQueue::getPoint(vst3::int32 index, vst3::int32& offset,
                                            vst3::ParamValue& value) {
  if (index < 0 || size_t(index) >= points.size()) return vst3::kInvalidArgument;
  offset = points[size_t(index)].offset;
  value = points[size_t(index)].value;
  return vst3::kResultOk;
}

vst3::tresult Vst3ParamValueQueue::addPoint(vst3::int32 offset, vst3::ParamValue value,
                                            vst3::int32& index) {
  index = static_cast<vst3::int32>(points.size());
  points.push_back(Point{offset, value});
  return vst3::kResultOk;
}

vst3::IParamValueQueue* Vst3ParameterChanges::getParameterData(vst3::int32 index) {
  return index >= 0 && index < used_ ? &queues_[size_t(index)] : nullptr;
}

vst3::IParamValueQueue* Vst3ParameterChanges::addParameterData(const vst3::ParamID& id,
                                                               vst3::int32& index) {
  for (index = 0; index < used_; ++index)
    if (queues_[size_t(index)].id == id) return &queues_[size_t(index)];
  if (size_t(used_) == kCapacity) return nullptr;
  if (size_t(used_) == queues_.size()) queues_.emplace_back();
  Vst3ParamValueQueue& queue = queues_[size_t(used_)];
  queue.id = id;
  queue.points.clear();
  index = used_++;
  return &queue;
}

void Vst3ParameterChanges::add(vst3::ParamID id, vst3::int32 offset, double value) {
  vst3::int32 index = 0;
  if (vst3::IParamValueQueue* queue = addParameterData(id, index))
    queue->addPoint(offset, value, index);
}

double Vst3ParameterChanges::last(vst3::ParamID id) const {
  for (vst3::int32 i = 0; i < used_; ++i)
    if (queues_[size_t(i)].id == id && !queues_[size_t(i)].points.empty())
      return queues_[size_t(i)].points.back().value;
  return -1.0;
}

void Vst3ParameterChanges::clear() { used_ = 0; }

vst3::tresult Vst3EventList::getEvent(vst3::int32 index, vst3::Event& e) {
  if (index < 0 || size_t(index) >= events.size()) return vst3::kInvalidArgument;
  e = events[size_t(index)];
  return vst3::kResultOk;
}

vst3::tresult Vst3EventList::addEvent(vst3::Event& e) {
  events.push_back(e);
  return vst3::kResultOk;
}

void Vst3EventList::note(bool on, vst3::int32 offset, int pitch, float velocity, int channel) {
  vst3::Event e{};
  e.sampleOffset = offset;
  e.type = on ? vst3::kNoteOnEvent : vst3::kNoteOffEvent;
  if (on) {
    e.noteOn.channel = static_cast<vst3::int16>(channel);
    e.noteOn.pitch = static_cast<vst3::int16>(pitch);
    e.noteOn.velocity = velocity;
    e.noteOn.noteId = -1;
  } else {
    e.noteOff.channel = static_cast<vst3::int16>(channel);
    e.noteOff.pitch = static_cast<vst3::int16>(pitch);
    e.noteOff.velocity = velocity;
    e.noteOff.noteId = -1;
  }
  events.push_back(e);
}

namespace {
vst3::tresult record(Vst3ComponentHandler& handler, const Vst3ComponentHandler::Edit& edit) {
  handler.edits.push_back(edit);
  if (handler.onEdit) handler.onEdit(edit);
  return vst3::kResultOk;
}
}  // namespace

vst3::tresult Vst3ComponentHandler::beginEdit(vst3::ParamID id) {
  return record(*this, Edit{'b', id, 0.0});
}

vst3::tresult Vst3ComponentHandler::performEdit(vst3::ParamID id, vst3::ParamValue value) {
  return record(*this, Edit{'p', id, value});
}

vst3::tresult Vst3ComponentHandler::endEdit(vst3::ParamID id) {
  return record(*this, Edit{'e', id, 0.0});
}

vst3::tresult Vst3ComponentHandler::restartComponent(vst3::int32 flags) {
  restarts.push_back(flags);
  if (onRestart) onRestart(flags);
  return vst3::kResultOk;
}

vst3::tresult Vst3ComponentHandler::notifyProgramListChange(vst3::ProgramListID, vst3::int32) {
  ++programListChanges;
  return vst3::kResultOk;
}

vst3::tresult Vst3PlugFrame::queryInterface(const vst3::TUID interfaceId, void** obj) {
  if (!offersRunLoop_ && vst3::sameUid(interfaceId, vst3::linux_ui::IRunLoop::iid.bytes)) {
    *obj = nullptr;
    return vst3::kNoInterface;
  }
  return Vst3HostObject::queryInterface(interfaceId, obj);
}

vst3::tresult Vst3PlugFrame::resizeView(vst3::IPlugView* view, vst3::ViewRect* size) {
  resizes.push_back(*size);
  return view->onSize(size);
}

vst3::tresult Vst3PlugFrame::registerEventHandler(vst3::linux_ui::IEventHandler* handler,
                                                  vst3::linux_ui::FileDescriptor descriptor) {
  if (!handler || eventHandler) return vst3::kInvalidArgument;
  handler->addRef();
  eventHandler = handler;
  fd = descriptor;
  return vst3::kResultOk;
}

vst3::tresult Vst3PlugFrame::unregisterEventHandler(vst3::linux_ui::IEventHandler* handler) {
  if (!handler || handler != eventHandler) return vst3::kInvalidArgument;
  eventHandler->release();
  eventHandler = nullptr;
  fd = -1;
  return vst3::kResultOk;
}

vst3::tresult Vst3PlugFrame::registerTimer(vst3::linux_ui::ITimerHandler* handler,
                                           vst3::linux_ui::TimerInterval ms) {
  if (!handler || timer) return vst3::kInvalidArgument;
  handler->addRef();
  timer = handler;
  timerMs = ms;
  return vst3::kResultOk;
}

vst3::tresult Vst3PlugFrame::unregisterTimer(vst3::linux_ui::ITimerHandler* handler) {
  if (!handler || handler != timer) return vst3::kInvalidArgument;
  timer->release();
  timer = nullptr;
  return vst3::kResultOk;
}

int Vst3PlugFrame::run(int ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
  Clock::time_point nextTimer = Clock::now();
  int ready = 0;
  while (Clock::now() < end) {
#ifdef _WIN32
    // No descriptors to watch on Windows: the editor's window gets its messages there.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
#else
    pollfd watch{fd, POLLIN, 0};
    if (poll(eventHandler ? &watch : nullptr, eventHandler ? 1 : 0, 5) > 0 && eventHandler) {
      ++ready;
      eventHandler->onFDIsSet(fd);
    }
#endif
    if (timer && Clock::now() >= nextTimer) {
      timer->onTimer();
      nextTimer = Clock::now() + std::chrono::milliseconds(timerMs);
    }
  }
  return ready;
}

vst3::tresult Vst3HostApplication::getName(vst3::String128 text) {
  size_t i = 0;
  for (; i < name.size() && i < 127; ++i) text[i] = static_cast<vst3::char16>(name[i]);
  text[i] = 0;
  return vst3::kResultOk;
}
