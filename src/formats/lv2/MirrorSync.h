#pragma once

// Keeps two copies of a plug-in in step across a message channel: the plug-in that
// plays, and the copy its editor works on in the host's UI process. Parameter values
// travel through the host's ports; what lies beyond them travels as changes: a preset
// (name and stored state), the current preset's index, and the editor state record
// (IPlugBase::SerializeEditorState). Each side keeps what it believes the other side
// holds; collect() reports where its plug-in has moved away from that, and the apply
// functions take over a change from the other side without reporting it back.
//
// Threads: every function runs with the plug-in's mutex held by the caller.
#include <vector>

#include "framework/ByteChunk.h"
#include "framework/IPreset.h"

class IPlugBase;

class MirrorSync {
 public:
  struct Change {
    enum Kind { kPreset, kCurrent, kEditorState };
    explicit Change(Kind changeKind) : kind(changeKind) {}
    Kind kind;
    int index = 0;          // kPreset: the preset; kCurrent: the current preset
    IPreset preset;         // kPreset
    ByteChunk editorState;  // kEditorState
  };

  // Appends what changed since the last call (everything after forget()), presets
  // first, then the current index, then the editor state.
  void collect(IPlugBase& plug, std::vector<Change>& changes);
  // The other side knows nothing yet (it just started): everything counts as changed.
  void forget() { known_ = false; }
  // Whether the other side is known to hold anything (false after forget()).
  bool knowsOtherSide() const { return known_; }
  // The other side holds what this plug-in holds now.
  void assumeInStep(IPlugBase& plug);

  bool applyPreset(IPlugBase& plug, int index, const IPreset& preset);
  // Selects the preset without applying its state (values come through the ports).
  bool applyCurrent(IPlugBase& plug, int index);
  bool applyEditorState(IPlugBase& plug, const ByteChunk& record);

 private:
  bool known_ = false;
  std::vector<IPreset> presets_;
  int current_ = -1;
  ByteChunk editorState_;
};
