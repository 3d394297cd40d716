#include "formats/lv2/Lv2Uris.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/parameters/parameters.h>
#include <lv2/ui/ui.h>

Lv2Uris::Lv2Uris(LV2_URID_Map* map, const std::string& pluginUri) {
  auto uri = [map](const char* text) { return map->map(map->handle, text); };
  auto own = [map, &pluginUri](const char* name) {
    return map->map(map->handle, (pluginUri + "#" + name).c_str());
  };
  atomBlank = uri(LV2_ATOM__Blank);
  atomBool = uri(LV2_ATOM__Bool);
  atomChunk = uri(LV2_ATOM__Chunk);
  atomDouble = uri(LV2_ATOM__Double);
  atomFloat = uri(LV2_ATOM__Float);
  atomInt = uri(LV2_ATOM__Int);
  atomLong = uri(LV2_ATOM__Long);
  atomObject = uri(LV2_ATOM__Object);
  atomPath = uri(LV2_ATOM__Path);
  atomSequence = uri(LV2_ATOM__Sequence);
  atomString = uri(LV2_ATOM__String);
  atomVector = uri(LV2_ATOM__Vector);
  atomEventTransfer = uri(LV2_ATOM__eventTransfer);
  atomUrid = uri(LV2_ATOM__URID);
  midiEvent = uri(LV2_MIDI__MidiEvent);
  bufMaxBlockLength = uri(LV2_BUF_SIZE__maxBlockLength);
  bufNominalBlockLength = uri(LV2_BUF_SIZE__nominalBlockLength);
  paramSampleRate = uri(LV2_PARAMETERS__sampleRate);
  uiScaleFactor = uri(LV2_UI__scaleFactor);
  msgPreset = own("Preset");
  msgCurrent = own("Current");
  msgEditorState = own("EditorState");
  msgMeter = own("Meter");
  msgParamChange = own("ParamChange");
  msgStateRequest = own("StateRequest");
  msgSynced = own("Synced");
  keyIndex = own("index");
  keyName = own("name");
  keyInitialized = own("initialized");
  keyRecord = own("record");
  keyValues = own("values");
  keyLevel = own("level");
  keyValue = own("value");
  stateBank = own("bank");
  stateProgram = own("program");
  stateCurrentProgram = own("currentProgram");
  stateFile = own("sampleFile");
  statePorts = own("ports");
  statePlainPortValues = own("portValues");
}
