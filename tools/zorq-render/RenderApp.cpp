#include "zorq-render/RenderApp.h"

#include <sys/stat.h>

#include <cstdio>
#include <iomanip>

#include "zorq-render/CommandLine.h"
#include "zorq-render/MidiFile.h"
#include "zorq-render/NoteList.h"
#include "zorq-render/ParameterSetter.h"
#include "zorq-render/PluginHost.h"
#include "zorq-render/PresetFile.h"
#include "zorq-render/ProgressBar.h"
#include "zorq-render/RenderError.h"
#include "zorq-render/Renderer.h"

namespace {

constexpr double kFallbackSampleRate = 44100.0;

std::string pluginFile(const RenderOptions& options, const std::string& defaultPlugin) {
  std::string path = options.pluginPath.empty() ? defaultPlugin : options.pluginPath;
  struct stat info{};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    throw RenderError("plug-in file '" + path + "' not found" +
                      (options.pluginPath.empty() ? " (build it, or name one with --plugin)" : ""));
  // dlopen searches the library path for bare names; a file name here means this file.
  if (path.find('/') == std::string::npos) path = "./" + path;
  return path;
}

void applyPresetAndProgram(PluginHost& host, const RenderOptions& options) {
  const bool programValid = options.program < host.numPrograms();
  if (options.program >= 0 && !programValid)
    throw RenderError("program " + std::to_string(options.program) + " does not exist (the plug-in has " +
                      std::to_string(host.numPrograms()) + ")");
  if (options.presetPath.empty()) {
    if (options.program >= 0) host.setProgram(options.program);
    return;
  }
  // A program file loads into the chosen program; a bank is loaded before choosing.
  std::vector<uint8_t> bytes = PresetFile::readFile(options.presetPath);
  try {
    const PresetFile::Kind kind = PresetFile::kindOf(bytes);
    if (options.program >= 0 && kind == PresetFile::Kind::kProgram) host.setProgram(options.program);
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

void listParameters(PluginHost& host, std::ostream& out) {
  for (int i = 0; i < host.numParams(); ++i) {
    const std::string label = host.paramLabel(i);
    out << std::setw(4) << i << "  " << std::left << std::setw(28) << host.paramName(i) << std::right
        << host.paramDisplay(i) << (label.empty() ? "" : " " + label) << '\n';
  }
}

void listPrograms(PluginHost& host, std::ostream& out) {
  for (int i = 0; i < host.numPrograms(); ++i)
    out << std::setw(4) << i << "  " << host.programName(i) << '\n';
}

std::optional<AudioBuffer> readInput(const std::string& path) {
  if (path.empty()) return std::nullopt;
  return AudioFile::read(path);
}

int render(const RenderOptions& options, const std::string& defaultPlugin, std::ostream& out) {
  RenderJob job;
  job.modulator = readInput(options.modulatorPath);
  job.carrier = readInput(options.carrierPath);
  if (!options.midiPath.empty()) job.midi = MidiFile::read(options.midiPath);
  if (!options.noteList.empty()) job.midi = NoteList::parse(options.noteList);
  job.sampleRate = options.sampleRate > 0 ? options.sampleRate
                   : job.modulator        ? job.modulator->sampleRate
                   : job.carrier          ? job.carrier->sampleRate
                                          : kFallbackSampleRate;
  if (job.modulator) job.modulator = AudioFile::resample(*job.modulator, job.sampleRate);
  if (job.carrier) job.carrier = AudioFile::resample(*job.carrier, job.sampleRate);
  job.blockSize = options.blockSize;
  job.tailSeconds = options.tailSeconds;

  PluginHost host(pluginFile(options, defaultPlugin));
  if (job.carrier && host.numInputs() < 3)
    throw RenderError("the plug-in has " + std::to_string(host.numInputs()) +
                      " inputs: no room for a carrier on inputs 3-4");
  if (job.modulator && host.numInputs() < 1)
    throw RenderError("the plug-in has no audio inputs for a modulator");
  host.start(job.sampleRate, job.blockSize);
  applyPresetAndProgram(host, options);
  applyParameters(host, options);
  if (options.listParams || options.listPrograms) {
    if (options.listParams) listParameters(host, out);
    if (options.listPrograms) listPrograms(host, out);
    return 0;
  }

  AudioFileWriter writer(options.outputPath, host.numOutputs(), int(job.sampleRate),
                         options.sampleFormat);
  const double totalSeconds = double(Renderer::totalFrames(job)) / job.sampleRate;
  ProgressBar progress(stderr, totalSeconds, !options.quiet);
  Renderer::render(host, job, writer, [&](double done) { progress.update(done); });
  progress.finish();
  writer.commit();
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
    return 2;
  }
  if (options.help) {
    out << CommandLine::helpText(defaultPlugin);
    return 0;
  }
  try {
    return render(options, defaultPlugin, out);
  } catch (const std::exception& e) {
    err << "zorq-render: " << e.what() << '\n';
    return 1;
  }
}
