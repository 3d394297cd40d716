#pragma once

// The URIDs the adapter uses, mapped once per instance (plug-in or editor). The
// messages between editor and plug-in are atom objects whose types and keys are
// URIs under the plug-in's URI ("<plugin>#Preset" and so on; Lv2Messages.h).
#include <string>

#include <lv2/urid/urid.h>

struct Lv2Uris {
  // Maps every URI; `pluginUri` prefixes the protocol's own. Instantiation thread.
  Lv2Uris(LV2_URID_Map* map, const std::string& pluginUri);

  LV2_URID atomBlank, atomBool, atomChunk, atomDouble, atomFloat, atomInt, atomLong, atomObject,
      atomPath, atomSequence, atomString, atomVector, atomEventTransfer, atomUrid;
  LV2_URID midiEvent;
  LV2_URID bufMaxBlockLength, bufNominalBlockLength, paramSampleRate, uiScaleFactor;
  // The protocol: message types, then keys.
  LV2_URID msgPreset, msgCurrent, msgEditorState, msgMeter, msgParamChange, msgStateRequest,
      msgSynced;
  LV2_URID keyIndex, keyName, keyInitialized, keyRecord, keyValues, keyLevel, keyValue;
  // State keys. The port values last applied are stored as the ports show them
  // (statePorts); states of older builds hold plain values (statePlainPortValues).
  LV2_URID stateBank, stateProgram, stateCurrentProgram, stateFile, statePorts,
      statePlainPortValues;
};
