// Our declaration of the interface against the published method order (the slot of
// each method in its table; the record layouts and ids are checked where they are
// declared), and the text conversions every record with a UTF-16 field goes through.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "formats/vst3/Vst3Abi.h"
#include "formats/vst3/Vst3Text.h"

namespace {
// The table slot of a virtual method, from its member pointer (Itanium C++ ABI: the
// pointer holds 1 + the slot's byte offset).
template <typename Method>
size_t slot(Method method) {
  struct {
    uintptr_t pointer;
    ptrdiff_t adjustment;
  } raw;
  static_assert(sizeof(Method) == sizeof raw, "an Itanium member function pointer");
  std::memcpy(&raw, &method, sizeof raw);
  return (raw.pointer - 1) / sizeof(void*);
}

// The methods, in declaration order, occupy the slots from `first` on.
template <typename... Methods>
::testing::AssertionResult inSlots(size_t first, Methods... methods) {
  size_t expected = first;
  for (size_t actual : {slot(methods)...}) {
    if (actual != expected)
      return ::testing::AssertionFailure()
             << "slot " << actual << " where " << expected << " is due";
    ++expected;
  }
  return ::testing::AssertionSuccess();
}
}  // namespace

TEST(Vst3Abi, MethodsSitInThePublishedSlots) {
  using namespace vst3;
  EXPECT_TRUE(inSlots(0, &FUnknown::queryInterface, &FUnknown::addRef, &FUnknown::release));
  EXPECT_TRUE(inSlots(3, &IPluginBase::initialize, &IPluginBase::terminate));
  EXPECT_TRUE(inSlots(3, &IPluginFactory3::getFactoryInfo, &IPluginFactory3::countClasses,
                      &IPluginFactory3::getClassInfo, &IPluginFactory3::createInstance,
                      &IPluginFactory3::getClassInfo2, &IPluginFactory3::getClassInfoUnicode,
                      &IPluginFactory3::setHostContext));
  EXPECT_TRUE(inSlots(5, &IComponent::getControllerClassId, &IComponent::setIoMode,
                      &IComponent::getBusCount, &IComponent::getBusInfo,
                      &IComponent::getRoutingInfo, &IComponent::activateBus, &IComponent::setActive,
                      &IComponent::setState, &IComponent::getState));
  EXPECT_TRUE(inSlots(3, &IAudioProcessor::setBusArrangements, &IAudioProcessor::getBusArrangement,
                      &IAudioProcessor::canProcessSampleSize, &IAudioProcessor::getLatencySamples,
                      &IAudioProcessor::setupProcessing, &IAudioProcessor::setProcessing,
                      &IAudioProcessor::process, &IAudioProcessor::getTailSamples));
  EXPECT_TRUE(inSlots(3, &IProcessContextRequirements::getProcessContextRequirements));
  EXPECT_TRUE(inSlots(5, &IEditController::setComponentState, &IEditController::setState,
                      &IEditController::getState, &IEditController::getParameterCount,
                      &IEditController::getParameterInfo, &IEditController::getParamStringByValue,
                      &IEditController::getParamValueByString,
                      &IEditController::normalizedParamToPlain,
                      &IEditController::plainParamToNormalized,
                      &IEditController::getParamNormalized, &IEditController::setParamNormalized,
                      &IEditController::setComponentHandler, &IEditController::createView));
  EXPECT_TRUE(inSlots(3, &IMidiMapping::getMidiControllerAssignment));
  EXPECT_TRUE(inSlots(3, &IUnitInfo::getUnitCount, &IUnitInfo::getUnitInfo,
                      &IUnitInfo::getProgramListCount, &IUnitInfo::getProgramListInfo,
                      &IUnitInfo::getProgramName, &IUnitInfo::getProgramInfo,
                      &IUnitInfo::hasProgramPitchNames, &IUnitInfo::getProgramPitchName,
                      &IUnitInfo::getSelectedUnit, &IUnitInfo::selectUnit, &IUnitInfo::getUnitByBus,
                      &IUnitInfo::setUnitProgramData));
  EXPECT_TRUE(inSlots(3, &IComponentHandler::beginEdit, &IComponentHandler::performEdit,
                      &IComponentHandler::endEdit, &IComponentHandler::restartComponent));
  EXPECT_TRUE(
      inSlots(3, &IUnitHandler::notifyUnitSelection, &IUnitHandler::notifyProgramListChange));
  EXPECT_TRUE(inSlots(3, &IHostApplication::getName, &IHostApplication::createInstance));
  EXPECT_TRUE(inSlots(3, &IBStream::read, &IBStream::write, &IBStream::seek, &IBStream::tell));
  EXPECT_TRUE(inSlots(3, &IParameterChanges::getParameterCount,
                      &IParameterChanges::getParameterData, &IParameterChanges::addParameterData));
  EXPECT_TRUE(inSlots(3, &IParamValueQueue::getParameterId, &IParamValueQueue::getPointCount,
                      &IParamValueQueue::getPoint, &IParamValueQueue::addPoint));
  EXPECT_TRUE(inSlots(3, &IEventList::getEventCount, &IEventList::getEvent, &IEventList::addEvent));
  EXPECT_TRUE(inSlots(3, &IPlugView::isPlatformTypeSupported, &IPlugView::attached,
                      &IPlugView::removed, &IPlugView::onWheel, &IPlugView::onKeyDown,
                      &IPlugView::onKeyUp, &IPlugView::getSize, &IPlugView::onSize,
                      &IPlugView::onFocus, &IPlugView::setFrame, &IPlugView::canResize,
                      &IPlugView::checkSizeConstraint));
  EXPECT_TRUE(inSlots(3, &IPlugFrame::resizeView));
  EXPECT_TRUE(inSlots(3, &IPlugViewContentScaleSupport::setContentScaleFactor));
  EXPECT_TRUE(inSlots(3, &linux_ui::IRunLoop::registerEventHandler,
                      &linux_ui::IRunLoop::unregisterEventHandler,
                      &linux_ui::IRunLoop::registerTimer, &linux_ui::IRunLoop::unregisterTimer));
  EXPECT_TRUE(inSlots(3, &linux_ui::IEventHandler::onFDIsSet));
  EXPECT_TRUE(inSlots(3, &linux_ui::ITimerHandler::onTimer));
}

// Names and program names may hold any character; a field cuts at a whole character.
TEST(Vst3Text, CarriesUnicodeBothWaysAndCutsAtWholeCharacters) {
  const char* text = "Vox \xC3\xA9t\xC3\xA9 \xF0\x9F\x8E\xB9";  // "Vox été 🎹"
  vst3::char16 wide[16];
  vst3text::toUtf16(text, wide, 16);
  EXPECT_EQ(vst3text::toUtf8(wide, 16), text);
  EXPECT_EQ(wide[8], 0xD83C);  // the keyboard takes a surrogate pair

  vst3::char16 narrow[10];  // room for 9 units: the pair would need the 9th and 10th
  vst3text::toUtf16(text, narrow, 10);
  EXPECT_EQ(vst3text::toUtf8(narrow, 10), "Vox \xC3\xA9t\xC3\xA9 ");

  vst3text::toUtf16(
      "a\xFF"
      "b",
      wide, 16);  // not UTF-8
  EXPECT_EQ(vst3text::toUtf8(wide, 16),
            "a\xEF\xBF\xBD"
            "b");
}
