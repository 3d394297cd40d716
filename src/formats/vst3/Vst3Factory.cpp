#include "formats/vst3/Vst3Factory.h"

#include <cstring>

#include "formats/vst3/IPlugVST3.h"
#include "formats/vst3/Vst3Text.h"
#include "framework/IParam.h"
#include "framework/IPlugBase.h"

namespace {
// Class flags: 0, since the controller cannot live apart from the component (one object).
constexpr vst3::uint32 kClassFlags = 0;
constexpr int kFactoryFlags = vst3::kUnicode;
}  // namespace

Vst3Factory::Vst3Factory(const Vst3ClassDescription& description, CreatePlug create)
    : description_(description), create_(create) {}

Vst3Factory::~Vst3Factory() {
  if (hostContext_) hostContext_->release();
}

bool Vst3Factory::enter() {
  ++entries_;
  return true;
}

bool Vst3Factory::exit() {
  if (entries_ > 0) --entries_;
  return true;
}

vst3::IPluginFactory* Vst3Factory::acquire() {
  addRef();
  return this;
}

vst3::tresult Vst3Factory::queryInterface(const vst3::TUID interfaceId, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  *obj = nullptr;
  if (!interfaceId) return vst3::kNoInterface;
  for (const vst3::Uid& known : {vst3::FUnknown::iid, vst3::IPluginFactory::iid,
                                 vst3::IPluginFactory2::iid, vst3::IPluginFactory3::iid}) {
    if (vst3::sameUid(interfaceId, known.bytes)) {
      *obj = static_cast<vst3::IPluginFactory3*>(this);
      addRef();
      return vst3::kResultOk;
    }
  }
  return vst3::kNoInterface;
}

vst3::uint32 Vst3Factory::addRef() { return ++references_; }

vst3::uint32 Vst3Factory::release() { return references_ > 0 ? --references_ : 0; }

vst3::tresult Vst3Factory::getFactoryInfo(vst3::PFactoryInfo* info) {
  if (!info) return vst3::kInvalidArgument;
  *info = vst3::PFactoryInfo{};
  copyFixedText(info->vendor, description_.vendor, sizeof info->vendor);
  copyFixedText(info->url, description_.url, sizeof info->url);
  copyFixedText(info->email, description_.email, sizeof info->email);
  info->flags = kFactoryFlags;
  return vst3::kResultOk;
}

vst3::tresult Vst3Factory::getClassInfo(vst3::int32 index, vst3::PClassInfo* info) {
  if (!info) return vst3::kInvalidArgument;
  if (index != 0) return vst3::kInvalidArgument;
  *info = vst3::PClassInfo{};
  std::memcpy(info->cid, description_.classId.bytes, sizeof info->cid);
  info->cardinality = vst3::kManyInstances;
  copyFixedText(info->category, vst3::kVstAudioEffectClass, sizeof info->category);
  copyFixedText(info->name, description_.name, sizeof info->name);
  return vst3::kResultOk;
}

vst3::tresult Vst3Factory::getClassInfo2(vst3::int32 index, vst3::PClassInfo2* info) {
  vst3::PClassInfo base{};
  if (!info) return vst3::kInvalidArgument;
  const vst3::tresult result = getClassInfo(index, &base);
  if (result != vst3::kResultOk) return result;
  *info = vst3::PClassInfo2{};
  std::memcpy(info, &base, sizeof base);
  info->classFlags = kClassFlags;
  copyFixedText(info->subCategories, description_.subCategories, sizeof info->subCategories);
  copyFixedText(info->vendor, description_.vendor, sizeof info->vendor);
  copyFixedText(info->version, description_.version, sizeof info->version);
  copyFixedText(info->sdkVersion, description_.sdkVersion, sizeof info->sdkVersion);
  return vst3::kResultOk;
}

vst3::tresult Vst3Factory::getClassInfoUnicode(vst3::int32 index, vst3::PClassInfoW* info) {
  vst3::PClassInfo2 narrow{};
  if (!info) return vst3::kInvalidArgument;
  const vst3::tresult result = getClassInfo2(index, &narrow);
  if (result != vst3::kResultOk) return result;
  *info = vst3::PClassInfoW{};
  std::memcpy(info->cid, narrow.cid, sizeof info->cid);
  info->cardinality = narrow.cardinality;
  std::memcpy(info->category, narrow.category, sizeof info->category);
  vst3text::toUtf16(narrow.name, info->name, 64);
  info->classFlags = narrow.classFlags;
  std::memcpy(info->subCategories, narrow.subCategories, sizeof info->subCategories);
  vst3text::toUtf16(narrow.vendor, info->vendor, 64);
  vst3text::toUtf16(narrow.version, info->version, 64);
  vst3text::toUtf16(narrow.sdkVersion, info->sdkVersion, 64);
  return vst3::kResultOk;
}

// An instance answers every interface of the one object: the component, processor
// and controller are the same object.
vst3::tresult Vst3Factory::createInstance(vst3::FIDString classId, vst3::FIDString interfaceId,
                                          void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  *obj = nullptr;
  if (!classId || !interfaceId || !vst3::sameUid(classId, description_.classId.bytes))
    return vst3::kNoInterface;
  try {
    std::lock_guard<std::mutex> lock(mutex_);
    std::unique_ptr<IPlugBase> plug = create_();
    if (!plug) return vst3::kResultFalse;
    IPlugVST3* instance = new IPlugVST3(std::move(plug));
    const vst3::tresult result = instance->queryInterface(interfaceId, obj);
    instance->release();  // the reference of creation; the caller holds its own
    return result;
  } catch (...) {
    return vst3::kOutOfMemory;
  }
}

vst3::tresult Vst3Factory::setHostContext(vst3::FUnknown* context) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (context) context->addRef();
  if (hostContext_) hostContext_->release();
  hostContext_ = context;
  return vst3::kResultOk;
}
