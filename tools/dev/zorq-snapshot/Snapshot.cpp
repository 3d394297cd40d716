#include "zorq-snapshot/Snapshot.h"

#include <memory>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "platform/headless/HeadlessPlatform.h"
#include "raster/LICE.h"
#include "hosting/ParameterSetter.h"
#include "formats/vst2/IPlugVST.h"
#include "hosting/Vst2PluginHost.h"
#include "hosting/PresetFile.h"
#include "hosting/HostError.h"

namespace {
const std::string& valueAfter(const std::vector<std::string>& arguments, size_t& i) {
  if (i + 1 >= arguments.size()) throw HostError(arguments[i] + " needs a value");
  return arguments[++i];
}

// The program file, then the settings, through the VST 2 adapter of the instrument
// that is drawn: the values are found exactly as a host's would be.
void applyProgramAndSettings(ZORQ& instrument, const SnapshotOptions& options) {
  if (options.programFile.empty() && options.settings.empty()) return;
  IPlugVST adapter(&instrument, Vst2PluginHost::callback(), false);
  Vst2PluginHost host(adapter.GetAEffect());
  if (!options.programFile.empty())
    PresetFile::load(host, PresetFile::readFile(options.programFile));
  ParameterSetter setter(host);
  for (const std::string& setting : options.settings) {
    std::string name, value;
    ParameterSetter::splitAssignment(setting, name, value);
    setter.setFromText(setter.findParameter(name), value);
  }
}
}  // namespace

SnapshotOptions parseSnapshotArguments(const std::vector<std::string>& arguments, bool* help) {
  SnapshotOptions options;
  *help = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--help" || a == "-h") {
      *help = true;
    } else if (a == "--fxp") {
      options.programFile = valueAfter(arguments, i);
    } else if (a == "--set") {
      options.settings.push_back(valueAfter(arguments, i));
    } else if (a == "--view") {
      const std::string& view = valueAfter(arguments, i);
      if (view != "main" && view != "tweak")
        throw HostError("--view is main or tweak, not '" + view + "'");
      options.tweakView = view == "tweak";
    } else if (a == "--list-params") {
      options.listParameters = true;
    } else if (a == "--output" || a == "-o") {
      options.output = valueAfter(arguments, i);
    } else {
      throw HostError("unknown argument '" + a + "' (see --help)");
    }
  }
  if (!*help && !options.listParameters && options.output.empty())
    throw HostError("--output names the PNG file to write");
  return options;
}

void printSnapshotHelp(std::ostream& out) {
  out << "zorq-snapshot: draws the ZORQ editor into a PNG file, without a host or a display.\n\n"
         "  --output FILE      the picture to write (800 x 360)\n"
         "  --view main|tweak  the normal view (default) or the per-band tweak view\n"
         "  --set NAME=VALUE   a parameter by name, the value as the parameter displays it\n"
         "                     (\"Vocoder Mode=VE-10 Full Bands\", \"Tune=-12\"); repeatable\n"
         "  --fxp FILE         a program (or bank) file loaded before the settings\n"
         "  --list-params      prints every parameter's name and default value\n";
}

void renderSnapshot(const SnapshotOptions& options, std::ostream& out) {
  if (options.listParameters) {
    ZORQ instrument;
    char display[64];
    for (int i = 0; i < instrument.NParams(); ++i) {
      const IParam* param = instrument.GetParam(i);
      param->GetDisplayForHost(display, true);
      out << param->GetNameForHost() << " = " << display << param->GetLabelForHost() << "\n";
    }
    return;
  }
  registerEditorBitmaps();
  ZORQ instrument;
  auto headless = std::make_unique<HeadlessPlatform>();
  HeadlessPlatform* platform = headless.get();
  ZorqEditor* editor = ZorqEditor::attach(&instrument, std::move(headless));
  applyProgramAndSettings(instrument, options);
  editor->OpenWindow(nullptr);
  if (options.tweakView) {
    editor->setTweakMode(true);
    editor->hideTweakControls(false);
  }
  while (platform->Tick()) {
  }
  if (!LICE_WritePNG(options.output.c_str(), editor->GetDrawBitmap(), false))
    throw HostError("cannot write '" + options.output + "'");
}
