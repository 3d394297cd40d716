#pragma once

// The messages between the plug-in and its editor, as atom objects (types and keys in
// Lv2Uris). Editor to plug-in: StateRequest (send everything), Preset, Current (the
// current preset's index), EditorState. Plug-in to editor: the same Preset, Current
// (with the live parameter values), EditorState, then Synced after a full answer;
// Meter (the level the editor's meter shows) and ParamChange (a value the plug-in
// changed itself, such as a learned MIDI controller) as they happen.
//
//   Preset       index Int, name String, initialized Bool, record Chunk (the stored state)
//   Current      index Int [, values Vector of Double: the plain value of every parameter]
//   EditorState  record Chunk (IPlugBase::SerializeEditorState)
//   Meter        level Float
//   ParamChange  index Int, value Double (plain)
//   StateRequest, Synced: no properties
#include <cstdint>
#include <vector>

#include <lv2/atom/forge.h>

#include "formats/lv2/Lv2Uris.h"
#include "framework/ByteChunk.h"
#include "framework/IPreset.h"

class Lv2Messages {
 public:
  // Instantiation thread; `map` must outlive the object.
  Lv2Messages(const Lv2Uris& uris, LV2_URID_Map* map);

  // A forge with this instance's types, writing into buffer (no allocation).
  void startForge(LV2_Atom_Forge* forge, void* buffer, uint32_t size) const;

  // Writers: each writes one object through the forge (whose buffer the caller set) and
  // returns false when it ran out of room. No allocation: the audio thread uses them.
  bool writePreset(LV2_Atom_Forge* forge, int index, const IPreset& preset) const;
  bool writeCurrent(LV2_Atom_Forge* forge, int index, const double* values, int count) const;
  bool writeEditorState(LV2_Atom_Forge* forge, const ByteChunk& record) const;
  bool writeMeter(LV2_Atom_Forge* forge, float level) const;
  bool writeParamChange(LV2_Atom_Forge* forge, int index, double value) const;
  bool writeEmpty(LV2_Atom_Forge* forge, LV2_URID type) const;

  // One message read back; every field a message lacks keeps its default.
  struct Message {
    LV2_URID type = 0;
    int index = -1;
    IPreset preset;
    ByteChunk record;
    std::vector<double> values;
    double value = 0.0;
  };
  // Reads an object of a known type; false for anything else or a malformed one.
  // Allocates: never on the audio thread.
  bool read(const LV2_Atom* atom, Message* message) const;

  // A whole message as bytes (an atom with its header), built by `write` on a forge.
  // Empty when it did not fit into `capacity` bytes.
  template <class Write>
  std::vector<uint8_t> build(size_t capacity, Write write) const {
    std::vector<uint8_t> bytes(capacity);
    LV2_Atom_Forge forge;
    startForge(&forge, bytes.data(), static_cast<uint32_t>(bytes.size()));
    if (!write(&forge)) return {};
    return trimmed(bytes);
  }

 private:
  static std::vector<uint8_t> trimmed(std::vector<uint8_t>& bytes);
  bool beginObject(LV2_Atom_Forge* forge, LV2_Atom_Forge_Frame* frame, LV2_URID type) const;

  const Lv2Uris& uris_;
  LV2_Atom_Forge prototype_;
};
