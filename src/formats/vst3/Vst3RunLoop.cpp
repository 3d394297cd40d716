#include "formats/vst3/Vst3RunLoop.h"

#include <atomic>

class Vst3RunLoop::Handler final : public vst3::linux_ui::IEventHandler,
                                   public vst3::linux_ui::ITimerHandler {
 public:
  explicit Handler(std::function<void()> tick) : tick_(std::move(tick)) {}

  vst3::tresult ZORQ_VST3_API queryInterface(const vst3::TUID interfaceId, void** obj) override {
    if (!obj) return vst3::kInvalidArgument;
    *obj = nullptr;
    if (interfaceId && (vst3::sameUid(interfaceId, vst3::FUnknown::iid.bytes) ||
                        vst3::sameUid(interfaceId, IEventHandler::iid.bytes)))
      *obj = static_cast<IEventHandler*>(this);
    else if (interfaceId && vst3::sameUid(interfaceId, ITimerHandler::iid.bytes))
      *obj = static_cast<ITimerHandler*>(this);
    if (!*obj) return vst3::kNoInterface;
    addRef();
    return vst3::kResultOk;
  }
  vst3::uint32 ZORQ_VST3_API addRef() override { return ++references_; }
  vst3::uint32 ZORQ_VST3_API release() override {
    const vst3::uint32 left = --references_;
    if (left == 0) delete this;
    return left;
  }
  void ZORQ_VST3_API onFDIsSet(vst3::linux_ui::FileDescriptor) override { run(); }
  void ZORQ_VST3_API onTimer() override { run(); }
  // After this, calls that still come do nothing.
  void disconnect() { tick_ = nullptr; }

 private:
  void run() {
    if (!tick_) return;
    try {
      tick_();
    } catch (...) {
    }
  }
  std::atomic<vst3::uint32> references_{1};
  std::function<void()> tick_;
};

vst3::linux_ui::IRunLoop* Vst3RunLoop::offeredBy(vst3::FUnknown* frame) {
  void* loop = nullptr;
  if (!frame ||
      frame->queryInterface(vst3::linux_ui::IRunLoop::iid.bytes, &loop) != vst3::kResultOk || !loop)
    return nullptr;
  auto* runLoop = static_cast<vst3::linux_ui::IRunLoop*>(loop);
  runLoop->release();  // the frame holds it
  return runLoop;
}

bool Vst3RunLoop::start(vst3::linux_ui::IRunLoop* loop, int fd, std::function<void()> tick) {
  stop();
  if (!loop) return false;
  handler_ = new Handler(std::move(tick));
  timer_ = loop->registerTimer(handler_, kTimerMs) == vst3::kResultOk;
  if (fd >= 0 && loop->registerEventHandler(handler_, fd) == vst3::kResultOk) fd_ = fd;
  if (!timer_ && fd_ < 0) {
    handler_->release();
    handler_ = nullptr;
    return false;
  }
  loop->addRef();
  loop_ = loop;
  return true;
}

void Vst3RunLoop::stopWatchingFd() {
  if (fd_ >= 0 && loop_) loop_->unregisterEventHandler(handler_);
  fd_ = -1;
}

void Vst3RunLoop::stop() {
  if (!loop_) return;
  stopWatchingFd();
  if (timer_) loop_->unregisterTimer(handler_);
  timer_ = false;
  handler_->disconnect();
  handler_->release();
  handler_ = nullptr;
  loop_->release();
  loop_ = nullptr;
}
