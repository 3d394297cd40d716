#include "zorq-render/RenderApp.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

#include "framework/NumberText.h"
#include "zorq-render/AudioFileWriter.h"
#include "zorq-render/AudioInput.h"
#include "zorq-render/CommandLine.h"
#include "zorq-render/FileIdentity.h"
#include "zorq-render/Interruption.h"
#include "zorq-render/LevelMeter.h"
#include "zorq-render/MidiFile.h"
#include "zorq-render/NoteList.h"
#include "hosting/ParameterSetter.h"
#include "hosting/OpenPluginHost.h"
#include "hosting/PresetFile.h"
#include "system/Files.h"
#include "zorq-render/ProgressBar.h"
#include "zorq-render/RenderError.h"
#include "zorq-render/Renderer.h"
#include "zorq-render/ScratchAudio.h"

namespace {

constexpr double kFallbackSampleRate = 44100.0;
// Below -120 dBFS everywhere: nothing anyone could hear.
constexpr double kSilentPeak = 1e-6;

void warn(std::ostream& err, const std::string& text) {
  err << "zorq-render: warning: " << text << '\n';
}

std::string pluginFile(const RenderOptions& options, const std::string& defaultPlugin) {
  std::string path = options.pluginPath.empty() ? defaultPlugin : options.pluginPath;
  FileStatus status;
  if (isPluginBundle(path)) return path;
  if (!statusOf(path, &status) || !status.isRegular)
    throw RenderError("plug-in file '" + path + "' not found" +
                      (options.pluginPath.empty() ? " (build it, or name one with --plugin)" : ""));
  // dlopen searches the library path for bare names; a file name here means this file.
  if (path.find('/') == std::string::npos) path = "./" + path;
  return path;
}

void applyPresetAndProgram(PluginHost& host, const RenderOptions& options) {
  const bool programValid = options.program < host.numPrograms();
  if (options.program >= 0 && !programValid)
    throw UsageError("program " + std::to_string(options.program) +
                     " does not exist (the plug-in has " + std::to_string(host.numPrograms()) +
                     ")");
  if (options.presetPath.empty()) {
    if (options.program >= 0) host.setProgram(options.program);
    return;
  }
  // A program file loads into the chosen program; a bank is loaded before choosing.
  std::vector<uint8_t> bytes = PresetFile::readFile(options.presetPath);
  try {
    const PresetFile::Kind kind = PresetFile::kindOf(bytes);
    if (options.program >= 0 && kind == PresetFile::Kind::kProgram)
      host.setProgram(options.program);
    PresetFile::load(host, bytes);
    if (options.program >= 0 && kind == PresetFile::Kind::kBank) host.setProgram(options.program);
  } catch (const RenderError& e) {
    throw RenderError(std::string(e.what()) + " ('" + options.presetPath + "')");
  }
}

void applyParameters(PluginHost& host, const RenderOptions& options) {
  ParameterSetter setter(host);
  std::string name, value;
  for (const std::string& assignment : options.assignments) {
    ParameterSetter::splitAssignment(assignment, name, value);
    setter.setFromText(setter.findParameter(name), value);
  }
  for (const std::string& assignment : options.normalisedAssignments) {
    ParameterSetter::splitAssignment(assignment, name, value);
    setter.setNormalised(setter.findParameter(name), value);
  }
}

void list(PluginHost& host, const RenderOptions& options, std::ostream& out) {
  ParameterSetter setter(host);
  if (options.listParams)
    for (int i = 0; i < host.numParams(); ++i) out << setter.describe(i) << '\n';
  char number[16];
  if (options.listPrograms)
    for (int i = 0; i < host.numPrograms(); ++i) {
      std::snprintf(number, sizeof number, "%4d  ", i);
      out << number << host.programName(i) << '\n';
    }
}

std::unique_ptr<AudioInput> openInput(const std::string& path, std::ostream& err) {
  if (path.empty()) return nullptr;
  auto input = std::make_unique<AudioInput>(path);
  for (const std::string& warning : input->takeWarnings()) warn(err, warning);
  return input;
}

// A vocoder sounds only with both a modulator and a carrier: say which is missing.
std::string silenceHint(PluginHost& host, const RenderOptions& options) {
  const bool vocoder = host.effectName() == "ZORQ";
  const bool voice = !options.modulatorPath.empty();
  const bool notes = !options.midiPath.empty() || !options.noteList.empty();
  if (!vocoder || (voice && notes)) return "output is silent";
  if (!voice && !notes)
    return "output is silent: a vocoder needs a voice (--modulator) and notes (--midi/--notes)";
  if (!voice) return "output is silent (no modulator: give a voice with --modulator)";
  return "output is silent (no carrier: play notes with --midi/--notes or raise In Balance)";
}

void renderOutput(PluginHost& host, const RenderJob& job, const RenderOptions& options,
                  std::ostream& err) {
  const int channels = host.numOutputs();
  AudioFileWriter writer(options.outputPath, channels, int(job.sampleRate), options.sampleFormat);
  std::optional<ScratchAudio> scratch;
  if (options.normalize) scratch.emplace(options.outputPath, channels);
  LevelMeter rendered(channels, scratch ? static_cast<FrameSink*>(&*scratch) : &writer);
  const double totalSeconds = double(Renderer::totalFrames(job)) / job.sampleRate;
  {
    ProgressBar progress(stderr, totalSeconds, !options.quiet);
    Renderer::render(host, job, rendered, [&](double done) { progress.update(done); });
    progress.finish();
  }
  const bool silent = rendered.peak() < kSilentPeak;
  LevelMeter normalised(channels, &writer);
  if (scratch) {
    const bool scalable = !silent && std::isfinite(rendered.peak());
    const double gain =
        scalable ? std::pow(10.0, options.normalizePeakDbfs / 20.0) / rendered.peak() : 1.0;
    scratch->replay(float(gain), normalised);
  }
  const LevelMeter& written = scratch ? normalised : rendered;
  writer.commit();

  if (!options.quiet) {
    err << "zorq-render: wrote " << options.outputPath << " (" << numbertext::Fixed(totalSeconds, 2)
        << " s): " << written.summary() << '\n';
  }
  if (AudioFileWriter::isInteger(options.sampleFormat) && written.clipped() > 0)
    warn(err, std::to_string(written.clipped()) + " samples clipped in the " +
                  AudioFileWriter::describe(options.sampleFormat) +
                  " file: use --normalize, lower the output level, or --bits float");
  if (silent) warn(err, silenceHint(host, options));
  for (AudioInput* input : {job.modulator, job.carrier})
    if (input)
      for (const std::string& warning : input->takeWarnings()) warn(err, warning);
}

int work(const RenderOptions& options, const std::string& defaultPlugin, std::ostream& out,
         std::ostream& err) {
  const std::string plugin = pluginFile(options, defaultPlugin);
  refuseOverwritingInputs({{"plug-in", plugin},
                           {"modulator", options.modulatorPath},
                           {"carrier", options.carrierPath},
                           {"MIDI file", options.midiPath},
                           {"preset file", options.presetPath}},
                          {{"output", options.outputPath},
                           {"program file to save", options.saveProgramPath},
                           {"bank file to save", options.saveBankPath}});
  const std::unique_ptr<AudioInput> modulator = openInput(options.modulatorPath, err);
  const std::unique_ptr<AudioInput> carrier = openInput(options.carrierPath, err);
  RenderJob job;
  job.modulator = modulator.get();
  job.carrier = carrier.get();
  if (!options.midiPath.empty()) job.midi = MidiFile::read(options.midiPath);
  if (!options.noteList.empty()) job.midi = NoteList::parse(options.noteList);
  job.sampleRate = options.sampleRate > 0 ? options.sampleRate
                   : modulator            ? modulator->fileRate()
                   : carrier              ? carrier->fileRate()
                                          : kFallbackSampleRate;
  if (modulator) modulator->convertTo(job.sampleRate);
  if (carrier) carrier->convertTo(job.sampleRate);
  job.blockSize = options.blockSize;
  job.tailSeconds = options.tailSeconds;

  const std::unique_ptr<PluginHost> opened = openPluginHost(plugin);
  PluginHost& host = *opened;
  if (carrier && host.numInputs() < 3)
    throw UsageError("the plug-in has " + std::to_string(host.numInputs()) +
                     " inputs: no room for a carrier on inputs 3-4");
  if (modulator && host.numInputs() < 1)
    throw UsageError("the plug-in has no audio inputs for a modulator");
  host.start(job.sampleRate, job.blockSize);
  applyPresetAndProgram(host, options);
  applyParameters(host, options);
  if (!options.saveProgramPath.empty()) PresetFile::saveProgram(host, options.saveProgramPath);
  if (!options.saveBankPath.empty()) PresetFile::saveBank(host, options.saveBankPath);
  if (options.listParams || options.listPrograms) {
    list(host, options, out);
    return 0;
  }
  if (!options.outputPath.empty()) renderOutput(host, job, options, err);
  return 0;
}

}  // namespace

int RenderApp::run(const std::vector<std::string>& arguments, const std::string& defaultPlugin,
                   std::ostream& out, std::ostream& err) {
  RenderOptions options;
  try {
    options = CommandLine::parse(arguments);
  } catch (const RenderError& e) {
    err << "zorq-render: " << e.what() << '\n';
    return kUsageFailure;
  }
  if (options.help) out << CommandLine::helpText(defaultPlugin);
  if (options.version) out << CommandLine::versionText();
  if (options.help || options.version) return 0;
  try {
    return work(options, defaultPlugin, out, err);
  } catch (const Interrupted& e) {
    err << "zorq-render: " << e.what() << '\n';
    return 128 + e.signalNumber();
  } catch (const UsageError& e) {
    err << "zorq-render: " << e.what() << '\n';
    return kUsageFailure;
  } catch (const std::exception& e) {
    err << "zorq-render: " << e.what() << '\n';
    return kFailure;
  }
}
