// The object: its interfaces and references, initialisation, activation, and what the
// plug-in tells the host.
#include "formats/vst3/IPlugVST3.h"

#include <cstring>
#include <vector>

#include "formats/vst3/Vst3View.h"

IPlugVST3::IPlugVST3(std::unique_ptr<IPlugBase> plug) : plug_(std::move(plug)) {
  initOwnParams();
  for (std::vector<float>& dry : dry32_) dry.resize(IPlugBase::kMaxProcessFrames);
  for (std::vector<double>& dry : dry64_) dry.resize(IPlugBase::kMaxProcessFrames);
  const int values = parameterCount();
  controllerValues_.reset(new std::atomic<double>[static_cast<size_t>(values)]);
  for (int i = 0; i < values; ++i) controllerValues_[i] = 0.0;
  syncControllerValues();
  plug_->SetHost(this);
}

// An open view holds a reference: none is left here.
IPlugVST3::~IPlugVST3() {
  plug_->SetHost(nullptr);
  if (handler_) handler_->release();
  if (unitHandler_) unitHandler_->release();
  if (hostContext_) hostContext_->release();
}

vst3::tresult IPlugVST3::queryInterface(const vst3::TUID interfaceId, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  *obj = nullptr;
  if (!interfaceId) return vst3::kNoInterface;
  const auto is = [&](const vst3::Uid& id) { return vst3::sameUid(interfaceId, id.bytes); };
  if (is(vst3::FUnknown::iid) || is(vst3::IPluginBase::iid) || is(vst3::IComponent::iid))
    *obj = static_cast<vst3::IComponent*>(this);
  else if (is(vst3::IAudioProcessor::iid))
    *obj = static_cast<vst3::IAudioProcessor*>(this);
  else if (is(vst3::IProcessContextRequirements::iid))
    *obj = static_cast<vst3::IProcessContextRequirements*>(this);
  else if (is(vst3::IEditController::iid))
    *obj = static_cast<vst3::IEditController*>(this);
  else if (is(vst3::IMidiMapping::iid))
    *obj = static_cast<vst3::IMidiMapping*>(this);
  else if (is(vst3::IUnitInfo::iid))
    *obj = static_cast<vst3::IUnitInfo*>(this);
  if (!*obj) return vst3::kNoInterface;
  addRef();
  return vst3::kResultOk;
}

vst3::uint32 IPlugVST3::addRef() { return ++references_; }

vst3::uint32 IPlugVST3::release() {
  const vst3::uint32 left = --references_;
  if (left == 0) delete this;
  return left;
}

// UI thread: the host application is kept for the object's life of initialisation.
vst3::tresult IPlugVST3::initialize(vst3::FUnknown* context) {
  if (++initializations_ > 1) return vst3::kResultFalse;
  if (context) context->addRef();
  hostContext_ = context;
  IMutexLock lock(plug_->Mutex());
  plug_->OnParamReset();
  return vst3::kResultOk;
}

vst3::tresult IPlugVST3::terminate() {
  if (initializations_ == 0) return vst3::kResultFalse;
  if (--initializations_ > 0) return vst3::kResultOk;
  setActive(false);
  setComponentHandler(nullptr);
  if (hostContext_) hostContext_->release();
  hostContext_ = nullptr;
  return vst3::kResultOk;
}

// The controller is this object: there is no class of its own to name.
vst3::tresult IPlugVST3::getControllerClassId(vst3::TUID classId) {
  if (classId) std::memset(classId, 0, sizeof(vst3::TUID));
  return vst3::kNotImplemented;
}

// UI thread: the rate and the longest block stay until deactivation; the plug-in
// starts from rest. Repeating the current state changes nothing.
vst3::tresult IPlugVST3::setActive(vst3::TBool state) {
  const bool activate = state != 0;
  if (activate == active_) return vst3::kResultOk;
  IMutexLock lock(plug_->Mutex());
  if (activate) {
    applySetup();
    plug_->OnActivate(true);
  } else {
    plug_->OnActivate(false);
    plug_->Reset();
  }
  active_ = activate;
  return vst3::kResultOk;
}

void IPlugVST3::applySetup() {
  plug_->SetSampleRate(setup_.sampleRate);
  plug_->SetBlockSize(setup_.maxSamplesPerBlock);
  plug_->ResetToSilence();
}

vst3::tresult IPlugVST3::setComponentHandler(vst3::IComponentHandler* handler) {
  if (handler == handler_) return vst3::kResultOk;
  if (handler) handler->addRef();
  if (handler_) handler_->release();
  if (unitHandler_) unitHandler_->release();
  handler_ = handler;
  unitHandler_ = nullptr;
  void* unitHandler = nullptr;
  if (handler_ &&
      handler_->queryInterface(vst3::IUnitHandler::iid.bytes, &unitHandler) == vst3::kResultOk)
    unitHandler_ = static_cast<vst3::IUnitHandler*>(unitHandler);
  return vst3::kResultOk;
}

void IPlugVST3::InformHostOfParamChange(int paramIdx, double) {
  const IParam* changed = plug_->GetParam(paramIdx);
  if (!changed) return;
  if (outChanges_) {
    // Inside process: a parameter the plug-in moved itself (a learned controller).
    const double normalized = changed->GetNormalized();
    controllerValues_[paramIdx] = normalized;
    vst3::int32 index = 0;
    const vst3::ParamID id = static_cast<vst3::ParamID>(paramIdx);
    if (vst3::IParamValueQueue* queue = outChanges_->addParameterData(id, index))
      queue->addPoint(0, normalized, index);
    return;
  }
  IMutexLock lock(plug_->Mutex());
  edits_.add(HostEditQueue::Kind::kValue, paramIdx, changed->Value());
}

void IPlugVST3::BeginInformHostOfParamChange(int paramIdx) {
  if (!plug_->GetParam(paramIdx)) return;
  IMutexLock lock(plug_->Mutex());
  edits_.add(HostEditQueue::Kind::kBegin, paramIdx);
}

void IPlugVST3::EndInformHostOfParamChange(int paramIdx) {
  if (!plug_->GetParam(paramIdx)) return;
  IMutexLock lock(plug_->Mutex());
  edits_.add(HostEditQueue::Kind::kEnd, paramIdx);
}

// Any thread, mutex held: inside a block the host hears the new values at its end;
// the host reads them all again at the next FlushToHost.
void IPlugVST3::InformHostOfProgramChange() {
  if (outChanges_) valuesChangedByPlug_ = true;
  restartFlags_ |= vst3::kParamValuesChanged;
}

void IPlugVST3::SetLatency(int) { restartFlags_ |= vst3::kLatencyChanged; }

// Edits go first: a restart after them makes the host read what holds now.
void IPlugVST3::FlushToHost() {
  std::vector<HostEditQueue::Edit> edits;
  {
    IMutexLock lock(plug_->Mutex());
    edits.reserve(edits_.size());
    edits_.drain([&](const HostEditQueue::Edit& edit) { edits.push_back(edit); });
  }
  for (const HostEditQueue::Edit& edit : edits) {
    const vst3::ParamID id = static_cast<vst3::ParamID>(edit.param);
    if (edit.kind == HostEditQueue::Kind::kValue) {
      const double normalized = plug_->GetParam(edit.param)->GetNormalized(edit.value);
      controllerValues_[edit.param] = normalized;
      if (handler_) handler_->performEdit(id, normalized);
    } else if (handler_) {
      edit.kind == HostEditQueue::Kind::kBegin ? handler_->beginEdit(id) : handler_->endEdit(id);
    }
  }
  const vst3::int32 restart = restartFlags_.exchange(0);
  if (restart & vst3::kParamValuesChanged) {
    IMutexLock lock(plug_->Mutex());
    syncControllerValues();
  }
  if (!handler_ || !restart) return;
  handler_->restartComponent(restart);
  if ((restart & vst3::kParamValuesChanged) && unitHandler_)
    unitHandler_->notifyProgramListChange(kProgramListId, -1);
}

// One view at a time: the plug-in has one editor window.
vst3::IPlugView* IPlugVST3::createView(vst3::FIDString name) {
  return guarded(static_cast<vst3::IPlugView*>(nullptr), [&]() -> vst3::IPlugView* {
    const IPlugGUI* gui = plug_->GetGUI();
    if (!name || std::strcmp(name, vst3::kEditorViewName) != 0 || !gui || !gui->CanOpenWindow() ||
        view_)
      return nullptr;
    view_ = new Vst3View(*this);
    return view_;
  });
}

void IPlugVST3::ViewClosed(Vst3View* view) {
  if (view_ == view) view_ = nullptr;
}

void IPlugVST3::ResizeGraphics(int, int) {
  if (view_) view_->editorResized();
}
