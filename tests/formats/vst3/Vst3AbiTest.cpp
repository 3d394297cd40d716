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

// The methods in declaration order occupy the slots from `first` on.
::testing::AssertionResult inSlots(size_t first, std::initializer_list<size_t> slots) {
  size_t expected = first;
  for (size_t actual : slots) {
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
  EXPECT_TRUE(inSlots(
      0, {slot(&FUnknown::queryInterface), slot(&FUnknown::addRef), slot(&FUnknown::release)}));
  EXPECT_TRUE(inSlots(3, {slot(&IPluginBase::initialize), slot(&IPluginBase::terminate)}));
  EXPECT_TRUE(inSlots(
      3, {slot(&IPluginFactory3::getFactoryInfo), slot(&IPluginFactory3::countClasses),
          slot(&IPluginFactory3::getClassInfo), slot(&IPluginFactory3::createInstance),
          slot(&IPluginFactory3::getClassInfo2), slot(&IPluginFactory3::getClassInfoUnicode),
          slot(&IPluginFactory3::setHostContext)}));
  EXPECT_TRUE(inSlots(
      5, {slot(&IComponent::getControllerClassId), slot(&IComponent::setIoMode),
          slot(&IComponent::getBusCount), slot(&IComponent::getBusInfo),
          slot(&IComponent::getRoutingInfo), slot(&IComponent::activateBus),
          slot(&IComponent::setActive), slot(&IComponent::setState), slot(&IComponent::getState)}));
  EXPECT_TRUE(inSlots(
      3, {slot(&IAudioProcessor::setBusArrangements), slot(&IAudioProcessor::getBusArrangement),
          slot(&IAudioProcessor::canProcessSampleSize), slot(&IAudioProcessor::getLatencySamples),
          slot(&IAudioProcessor::setupProcessing), slot(&IAudioProcessor::setProcessing),
          slot(&IAudioProcessor::process), slot(&IAudioProcessor::getTailSamples)}));
  EXPECT_TRUE(inSlots(3, {slot(&IProcessContextRequirements::getProcessContextRequirements)}));
  EXPECT_TRUE(inSlots(
      5, {slot(&IEditController::setComponentState), slot(&IEditController::setState),
          slot(&IEditController::getState), slot(&IEditController::getParameterCount),
          slot(&IEditController::getParameterInfo), slot(&IEditController::getParamStringByValue),
          slot(&IEditController::getParamValueByString),
          slot(&IEditController::normalizedParamToPlain),
          slot(&IEditController::plainParamToNormalized),
          slot(&IEditController::getParamNormalized), slot(&IEditController::setParamNormalized),
          slot(&IEditController::setComponentHandler), slot(&IEditController::createView)}));
  EXPECT_TRUE(inSlots(3, {slot(&IMidiMapping::getMidiControllerAssignment)}));
  EXPECT_TRUE(
      inSlots(3, {slot(&IUnitInfo::getUnitCount), slot(&IUnitInfo::getUnitInfo),
                  slot(&IUnitInfo::getProgramListCount), slot(&IUnitInfo::getProgramListInfo),
                  slot(&IUnitInfo::getProgramName), slot(&IUnitInfo::getProgramInfo),
                  slot(&IUnitInfo::hasProgramPitchNames), slot(&IUnitInfo::getProgramPitchName),
                  slot(&IUnitInfo::getSelectedUnit), slot(&IUnitInfo::selectUnit),
                  slot(&IUnitInfo::getUnitByBus), slot(&IUnitInfo::setUnitProgramData)}));
  EXPECT_TRUE(
      inSlots(3, {slot(&IComponentHandler::beginEdit), slot(&IComponentHandler::performEdit),
                  slot(&IComponentHandler::endEdit), slot(&IComponentHandler::restartComponent)}));
  EXPECT_TRUE(inSlots(
      3, {slot(&IUnitHandler::notifyUnitSelection), slot(&IUnitHandler::notifyProgramListChange)}));
  EXPECT_TRUE(
      inSlots(3, {slot(&IHostApplication::getName), slot(&IHostApplication::createInstance)}));
  EXPECT_TRUE(inSlots(3, {slot(&IBStream::read), slot(&IBStream::write), slot(&IBStream::seek),
                          slot(&IBStream::tell)}));
  EXPECT_TRUE(inSlots(
      3, {slot(&IParameterChanges::getParameterCount), slot(&IParameterChanges::getParameterData),
          slot(&IParameterChanges::addParameterData)}));
  EXPECT_TRUE(
      inSlots(3, {slot(&IParamValueQueue::getParameterId), slot(&IParamValueQueue::getPointCount),
                  slot(&IParamValueQueue::getPoint), slot(&IParamValueQueue::addPoint)}));
  EXPECT_TRUE(inSlots(3, {slot(&IEventList::getEventCount), slot(&IEventList::getEvent),
                          slot(&IEventList::addEvent)}));
  EXPECT_TRUE(
      inSlots(3, {slot(&IPlugView::isPlatformTypeSupported), slot(&IPlugView::attached),
                  slot(&IPlugView::removed), slot(&IPlugView::onWheel), slot(&IPlugView::onKeyDown),
                  slot(&IPlugView::onKeyUp), slot(&IPlugView::getSize), slot(&IPlugView::onSize),
                  slot(&IPlugView::onFocus), slot(&IPlugView::setFrame),
                  slot(&IPlugView::canResize), slot(&IPlugView::checkSizeConstraint)}));
  EXPECT_TRUE(inSlots(3, {slot(&IPlugFrame::resizeView)}));
  EXPECT_TRUE(inSlots(3, {slot(&IPlugViewContentScaleSupport::setContentScaleFactor)}));
  EXPECT_TRUE(inSlots(
      3, {slot(&linux_ui::IRunLoop::registerEventHandler),
          slot(&linux_ui::IRunLoop::unregisterEventHandler),
          slot(&linux_ui::IRunLoop::registerTimer), slot(&linux_ui::IRunLoop::unregisterTimer)}));
  EXPECT_TRUE(inSlots(3, {slot(&linux_ui::IEventHandler::onFDIsSet)}));
  EXPECT_TRUE(inSlots(3, {slot(&linux_ui::ITimerHandler::onTimer)}));
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
