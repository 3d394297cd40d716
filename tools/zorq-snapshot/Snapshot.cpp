#include "zorq-snapshot/Snapshot.h"

#include <memory>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "platform/headless/HeadlessPlatform.h"
#include "raster/LICE.h"
#include "zorq-render/ParameterSetter.h"
#include "zorq-render/PluginHost.h"
#include "zorq-render/PresetFile.h"
#include "zorq-render/RenderError.h"

namespace {
const std::string& valueAfter(const std::vector<std::string>& arguments, size_t& i) {
  if (i + 1 >= arguments.size()) throw RenderError(arguments[i] + " needs a value");
  return arguments[++i];
}

// The live program of the built plug-in after the program file and the settings,
// as its program chunk; empty when neither was given.
std::vector<char> programState(const SnapshotOptions& options) {
  if (options.programFile.empty() && options.settings.empty()) return {};
  PluginHost host(options.pluginPath);
  if (!options.programFile.empty()) PresetFile::load(host, PresetFile::readFile(options.programFile));
  ParameterSetter setter(host);
  for (const std::string& setting : options.settings) {
    std::string name, value;
    ParameterSetter::splitAssignment(setting, name, value);
    setter.setFromText(setter.findParameter(name), value);
  }
  void* chunk = nullptr;
  const VstIntPtr size = host.dispatch(effGetChunk, 1, 0, &chunk);
  if (size <= 0 || !chunk) throw RenderError("the plug-in gave no program state");
  const char* bytes = static_cast<const char*>(chunk);
  return std::vector<char>(bytes, bytes + size);
}
}  // namespace

SnapshotOptions parseSnapshotArguments(const std::vector<std::string>& arguments,
                                       const std::string& defaultPlugin, bool* help) {
  SnapshotOptions options;
  options.pluginPath = defaultPlugin;
  *help = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--help" || a == "-h") {
      *help = true;
    } else if (a == "--plugin") {
      options.pluginPath = valueAfter(arguments, i);
    } else if (a == "--fxp") {
      options.programFile = valueAfter(arguments, i);
    } else if (a == "--set") {
      options.settings.push_back(valueAfter(arguments, i));
    } else if (a == "--view") {
      const std::string& view = valueAfter(arguments, i);
      if (view != "main" && view != "tweak") throw RenderError("--view is main or tweak, not '" + view + "'");
      options.tweakView = view == "tweak";
    } else if (a == "--list-params") {
      options.listParameters = true;
    } else if (a == "--output" || a == "-o") {
      options.output = valueAfter(arguments, i);
    } else {
      throw RenderError("unknown argument '" + a + "' (see --help)");
    }
  }
  if (!*help && !options.listParameters && options.output.empty())
    throw RenderError("--output names the PNG file to write");
  return options;
}

void printSnapshotHelp(std::ostream& out) {
  out << "zorq-snapshot: draws the ZORQ editor into a PNG file, without a host or a display.\n\n"
         "  --output FILE      the picture to write (800 x 360)\n"
         "  --view main|tweak  the normal view (default) or the per-band tweak view\n"
         "  --set NAME=VALUE   a parameter by name, the value as the parameter displays it\n"
         "                     (\"Vocoder Mode=VE-10 Full Bands\", \"Tune=-12\"); repeatable\n"
         "  --fxp FILE         a program (or bank) file loaded before the settings\n"
         "  --list-params      prints every parameter's name and default value\n"
         "  --plugin FILE      the built plug-in that finds the values (default: ZORQ.so\n"
         "                     beside this program); needed only with --set or --fxp\n";
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
  const std::vector<char> state = programState(options);
  registerEditorBitmaps();
  ZORQ instrument;
  auto headless = std::make_unique<HeadlessPlatform>();
  HeadlessPlatform* platform = headless.get();
  ZorqEditor* editor = ZorqEditor::attach(&instrument, std::move(headless));
  if (!state.empty()) {
    AEffect* effect = instrument.GetAEffect();
    effect->dispatcher(effect, effSetChunk, 1, VstIntPtr(state.size()), const_cast<char*>(state.data()), 0.0f);
  }
  editor->OpenWindow(nullptr);
  if (options.tweakView) {
    editor->setTweakMode(true);
    editor->hideTweakControls(false);
  }
  while (platform->Tick()) {
  }
  if (!LICE_WritePNG(options.output.c_str(), editor->GetDrawBitmap(), false))
    throw RenderError("cannot write '" + options.output + "'");
}
