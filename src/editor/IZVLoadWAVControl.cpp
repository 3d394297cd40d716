#include "editor/IZVLoadWAVControl.h"

#include "editor/EditorStyles.h"
#include "engine/ZORQ.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"

IZVLoadWAVControl::IZVLoadWAVControl(ZORQ* instrument, IRECT rect, int paramIdx, const char* dir,
                                     const char* extensions)
    : IFileSelectorControl(instrument, rect, paramIdx, kFileOpen, dir, extensions),
      instrument_(instrument),
      textArea_(rect.L, rect.T + 1, rect.R, rect.B),
      errorText_(EditorStyles::wavError()) {
  text_ = EditorStyles::menuValue();
}

std::string IZVLoadWAVControl::shortName(const std::string& path) {
  const size_t separator = path.find_last_of("/\\");
  std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

bool IZVLoadWAVControl::Draw(IGraphics* graphics) {
  if (IsDirty()) {
    // A state restore may change the name on the host's thread.
    ZORQ::SampleFileState state = instrument_->sampleFileState();
    file_ = std::move(state.name);
    loadFailed_ = state.loadFailed;
  }
  graphics->FillIRect(&COLOR_TRANSPARENT, &textArea_);
  if (GetValue() < 0.5) {
    SetTooltip("");
    return graphics->DrawIText(&text_, "MIC Input", &textArea_, IGraphics::kDrawTextNoClip);
  }
  if (file_.empty()) return true;
  const std::string name = shortName(file_);
  SetTooltip(loadFailed_ ? ("Could not load \"" + file_ + "\"!").c_str() : file_.c_str());
  return graphics->DrawIText(loadFailed_ ? &errorText_ : &text_, name.c_str(), &textArea_,
                             IGraphics::kDrawTextNoClip);
}

void IZVLoadWAVControl::buildMenu(IPopupMenu& menu, const std::string& file, double value,
                                  bool legato) {
  const bool hasFile = !file.empty();
  const int disabled = hasFile ? IPopupMenuItem::kNoFlags : IPopupMenuItem::kDisabled;
  menu.AddItem("MIC Input")->SetChecked(value < 0.5);
  IPopupMenuItem* fileItem =
      menu.AddItem(hasFile ? file.c_str() : "No WAV file loaded", -1, disabled);
  fileItem->SetChecked(hasFile && value >= 0.5);
  menu.AddSeparator();
  menu.AddItem("Legato", -1, disabled)->SetChecked(hasFile && legato);
  menu.AddSeparator();
  menu.AddItem("Unload WAV file", -1, disabled);
  menu.AddItem("Load WAV file...");
}

void IZVLoadWAVControl::choose(double value) {
  setValue(value);
  plug_->SetParameterFromGUI(paramIdx_, value);
  SetDirty(true);
}

void IZVLoadWAVControl::OnMouseDown(int x, int, IMouseMod*) {
  // While the prompt is open its answer is still to come.
  if (!graphics_ || state_ == kSelecting) return;
  const IParam* legatoParam = plug_->GetParam(kSampleLegato);
  const bool legato = legatoParam && legatoParam->Bool();
  IPopupMenu menu;
  buildMenu(menu, file_, GetValue(), legato);
  IRECT at(x, rect_.T, x + rect_.W(), rect_.B);
  const IPopupMenu* chosen = graphics_->CreateIPopupMenu(&menu, &at);
  if (!chosen) return;
  switch (chosen->GetChosenItemIdx()) {
    case kLegato:
      plug_->SetParameterFromGUI(kSampleLegato, legato ? 0.0 : 1.0);
      SetDirty(true);
      break;
    case kLoad:
      state_ = kSelecting;
      graphics_->PromptForFile(
          "", kFileOpen, instrument_->configuration().defaultWAVPath(), extensions_.c_str(),
          [this](const std::string& file, const std::string&) { fileChosen(file); });
      break;
    case kUnload:
      file_.clear();
      instrument_->setSampleFileName("");
      choose(0.0);
      break;
    case kMicInput: choose(0.0); break;
    case kFile: choose(1.0); break;
    default: break;
  }
}

void IZVLoadWAVControl::fileChosen(const std::string& file) {
  state_ = kIdle;
  if (!file.empty()) {
    setValue(1.0);
    state_ = kDone;
    instrument_->setSampleFileName(file.c_str());
    instrument_->loadSampleFile(true);
    file_ = instrument_->sampleFileState().name;
  }
  // Chosen or not, "Input Mode" gets the control's value.
  choose(GetValue());
}
