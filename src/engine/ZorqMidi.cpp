// MIDI input: messages are queued by sample offset and dispatched at the control
// tick nearest to it, where they become note, pedal and controller operations.
#include <climits>

#include "engine/ZORQ.h"
#include "framework/IMidiMsg.h"

namespace {
constexpr int kSustainController = 64;
constexpr int kAllSoundOffController = 120;
constexpr int kAllNotesOffController = 123;
constexpr int kFirstModeController = 120;
}  // namespace

void ZORQ::ProcessMidiMsg(IMidiMsg* msg) {
  if (msg == nullptr) return;
  if (config_.midiThru()) SendMidiMsg(msg);

  IMidiMsg event = *msg;
  bool adjustOffset = true;
  switch (event.StatusMsg()) {
    case IMidiMsg::kNoteOn:
      if (event.Velocity() == 0) event.mStatus = 0x80;
      break;
    case IMidiMsg::kNoteOff:
    case IMidiMsg::kPitchWheel: break;
    case IMidiMsg::kControlChange: {
      const int controller = event.ControlChangeIdx();
      if (controller >= kFirstModeController) {
        if (controller == kAllSoundOffController || controller == kAllNotesOffController)
          allNotesOff();
        return;
      }
      if (midiLearn_.isLearning()) {
        setMidiLearnCC(controller);
        return;
      }
      // The pedal acts at the first tick whose window holds its offset, unrounded.
      adjustOffset = controller != kSustainController;
      break;
    }
    case IMidiMsg::kProgramChange:
      if (config_.ignoreProgramChange()) return;
      break;
    default: return;
  }

  // Moves the event to the control tick nearest to its offset (ties to the earlier).
  const int halfTick = static_cast<int>(subBlockLength_ / 2);
  if (adjustOffset && event.mOffset > static_cast<int>(subBlockLength_))
    event.mOffset = event.mOffset > INT_MAX - halfTick ? INT_MAX : event.mOffset + halfTick;
  midiQueue_.Add(&event);
}

// Compared, not subtracted: offsets may be near INT_MIN.
bool ZORQ::midiDueAtTick() {
  return !midiQueue_.Empty() && midiQueue_.Peek().mOffset <= static_cast<int>(subBlockLength_);
}

// Control tick, before update(); plug-in mutex held; no allocation.
void ZORQ::handleMidiEvents() {
  while (midiDueAtTick()) {
    const IMidiMsg& event = midiQueue_.Peek();
    switch (event.StatusMsg()) {
      case IMidiMsg::kNoteOn:
        if (event.Velocity() != 0) {
          setNoteOn(event.NoteNumber(), event.Velocity());
          break;
        }
        setNoteOff(event.NoteNumber());
        break;
      case IMidiMsg::kNoteOff: setNoteOff(event.NoteNumber()); break;
      case IMidiMsg::kControlChange: {
        const int controller = event.ControlChangeIdx();
        const double value = event.ControlChange(controller);
        if (controller == kSustainController) {
          const bool pressed = value > 0.0;
          for (Voice& voice : voices_) voice.setSustain(pressed);
          setSustain(pressed);
          break;
        }
        const int param = config_.controllerParameter(controller);
        if (param >= 0 && param < NParams() && value != GetParam(param)->GetNormalized()) {
          SetParameterFromGUI(param, value);
          // The editor's control follows; this only stores its value and flags.
          if (IPlugGUI* gui = GetGUI()) gui->SetParameterFromPlug(param, value, true);
        }
        break;
      }
      case IMidiMsg::kPitchWheel: pitchWheel_ = event.PitchWheel(); break;
      case IMidiMsg::kProgramChange: restoreProgram(event.Program()); break;
      default: break;
    }
    midiQueue_.Remove();
  }
  midiQueue_.Flush(static_cast<int>(subBlockLength_));
}
