#include "zorq-render/CommandLine.h"

#include <cmath>
#include <cstdlib>
#include <optional>

#include "hosting/ParameterSetter.h"
#include "framework/NumberText.h"
#include "zorq-render/RenderError.h"

#ifndef ZORQ_RENDER_VERSION
#define ZORQ_RENDER_VERSION "unknown"
#endif

namespace {

double parseNumber(const std::string& option, const std::string& text, double low, double high) {
  double value = 0.0;
  if (!numbertext::Read(text, &value) || !(value >= low && value <= high))
    throw UsageError(option + " needs a number from " + std::to_string(int(low)) + " to " +
                     std::to_string(int(high)) + ", got '" + text + "'");
  return value;
}

int parseWhole(const std::string& option, const std::string& text, int low, int high) {
  const double value = parseNumber(option, text, low, high);
  if (value != std::floor(value))
    throw UsageError(option + " needs a whole number, got '" + text + "'");
  return int(value);
}

}  // namespace

RenderOptions CommandLine::parse(const std::vector<std::string>& arguments) {
  RenderOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string option = arguments[i];
    std::optional<std::string> attached;  // --name=value
    const size_t equals = option.find('=');
    if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
      attached = option.substr(equals + 1);
      option.resize(equals);
    }
    auto value = [&]() -> std::string {
      if (attached) return *attached;
      if (i + 1 >= arguments.size()) throw UsageError(option + " needs a value");
      return arguments[++i];
    };
    auto flag = [&]() {
      if (attached) throw UsageError(option + " takes no value");
      return true;
    };
    if (option == "-h" || option == "--help") {
      options.help = flag();
    } else if (option == "--version") {
      options.version = flag();
    } else if (option == "-p" || option == "--plugin") {
      options.pluginPath = value();
    } else if (option == "-m" || option == "--modulator") {
      options.modulatorPath = value();
    } else if (option == "-c" || option == "--carrier") {
      options.carrierPath = value();
    } else if (option == "--midi") {
      options.midiPath = value();
    } else if (option == "-n" || option == "--notes") {
      options.noteList = value();
    } else if (option == "-s" || option == "--set") {
      options.assignments.push_back(value());
    } else if (option == "--set-normalized") {
      options.normalisedAssignments.push_back(value());
    } else if (option == "--preset") {
      options.presetPath = value();
    } else if (option == "--program") {
      options.program = parseWhole(option, value(), 0, 1 << 20);
    } else if (option == "--save-fxp") {
      options.saveProgramPath = value();
    } else if (option == "--save-fxb") {
      options.saveBankPath = value();
    } else if (option == "-r" || option == "--rate") {
      options.sampleRate = parseNumber(option, value(), kMinSampleRate, kMaxSampleRate);
    } else if (option == "-b" || option == "--block") {
      options.blockSize = parseWhole(option, value(), 1, kMaxBlockSize);
    } else if (option == "-t" || option == "--tail") {
      options.tailSeconds = parseNumber(option, value(), 0, 3600);
    } else if (option == "-o" || option == "--output") {
      options.outputPath = value();
    } else if (option == "--bits") {
      options.sampleFormat = AudioFileWriter::parseFormat(value());
    } else if (option == "--normalize" || option == "--normalise") {
      options.normalize = true;
      if (attached) options.normalizePeakDbfs = parseNumber(option, *attached, -100, 0);
    } else if (option == "--list-params") {
      options.listParams = flag();
    } else if (option == "--list-programs") {
      options.listPrograms = flag();
    } else if (option == "-q" || option == "--quiet") {
      options.quiet = flag();
    } else {
      throw UsageError("unknown option '" + arguments[i] + "' (see --help)");
    }
  }
  if (options.help || options.version) return options;
  std::string name, text;
  for (const std::string& assignment : options.assignments)
    ParameterSetter::splitAssignment(assignment, name, text);
  for (const std::string& assignment : options.normalisedAssignments)
    ParameterSetter::splitAssignment(assignment, name, text);
  if (!options.midiPath.empty() && !options.noteList.empty())
    throw UsageError("give either --midi or --notes, not both");
  const bool inputs = !options.modulatorPath.empty() || !options.carrierPath.empty() ||
                      !options.midiPath.empty() || !options.noteList.empty();
  const bool otherWork = options.listParams || options.listPrograms ||
                         !options.saveProgramPath.empty() || !options.saveBankPath.empty();
  if (options.outputPath.empty() && !otherWork) throw UsageError("no output file (use -o FILE)");
  if (!options.outputPath.empty()) {
    AudioFileWriter::checkOutput(options.outputPath, options.sampleFormat);
    if (!inputs)
      throw UsageError("nothing to render: give a modulator, a carrier, --midi or --notes");
  }
  return options;
}

std::string CommandLine::versionText() {
  return std::string("zorq-render ") + ZORQ_RENDER_VERSION + "\n";
}

std::string CommandLine::helpText(const std::string& defaultPlugin) {
  return R"(Usage: zorq-render [options] -o OUTPUT
Renders audio and MIDI offline through a VST 2, VST 3, LV2 or CLAP plug-in and writes the
result.
A vocoder needs both a modulator (a voice, -m) and a carrier (notes, --midi or -n).

Plug-in
  -p, --plugin FILE        VST 2 shared object, VST 3 bundle folder (NAME.vst3), LV2
                           bundle folder (NAME.lv2) or CLAP file (NAME.clap) to load
                           (default: )" +
         defaultPlugin + R"()
      --preset FILE        load a program (.fxp) or bank (.fxb) file, chunk or
                           parameter form
      --program N          choose program N (0-based); with a bank it applies after
                           the bank is loaded, with a program file before it
  -s, --set "NAME=VALUE"   set a parameter (repeatable, applied in order). VALUE is
                           written as --list-params shows it: a display text with or
                           without its unit ("VE-10 Full Bands", "on", "50:50",
                           "10%", "-6 dB"), ignoring case and blanks, or a number in
                           the displayed units ("-6" for -6.0 dB). NAME matches
                           exactly, else ignoring case.
      --set-normalized "NAME=X"  set a parameter to the normalised value X (0..1)
      --save-fxp FILE      write the current program as a .fxp file, after
                           --preset, --program and --set are applied
      --save-fxb FILE      write every program as a .fxb bank file, likewise
      --list-params        print every parameter: index, name, current value, and
                           its range (value at 0 .. value at 1) or its choices,
                           after --preset, --program and --set; no render
      --list-programs      print every program's index and name; no render

Input
  -m, --modulator FILE     audio for inputs 1-2 (WAV, FLAC, AIFF, Ogg, ...);
                           mono files feed both inputs
  -c, --carrier FILE       audio for inputs 3-4
      --midi FILE          Standard MIDI File, type 0 or 1; tempo changes honoured
  -n, --notes LIST         short note list instead of a MIDI file:
                             entry[,entry...]   entry = chord[@start][:length][/velocity]
                             chord = note[+note...] or r (rest); note = C4, F#3, Bb2
                             (C4 = 60) or a MIDI number; times in seconds; an entry
                             without @start follows the previous one; length 1 s,
                             velocity 100 by default. Example: "C3+E3+G3:2,F3+A3+C4:2"

Render
  -r, --rate HZ            sample rate (default: the modulator's, else the carrier's,
                           else 44100); input files at another rate are converted
  -b, --block N            block size in frames, 1..65536 (default 512)
  -t, --tail SECONDS       extra time after the inputs and the last MIDI event
                           (default 1)
  -o, --output FILE        output file, .wav or .flac. Written to a temporary file
                           in the same folder and renamed when complete; never one
                           of the input files
      --bits 16|24|float   sample format (default 24; FLAC takes 16 or 24)
      --normalize[=DBFS]   scale the finished render so its peak is DBFS
                           (default -1); a silent render is left as it is
  -q, --quiet              no progress bar and no level report (warnings still show)
  -h, --help               this text
      --version            the program's version

Long options also take their value after '=' (--rate=48000). At the end the peak,
RMS and clipped samples of each channel are reported; a warning follows when an
integer file clipped or the output is silent. Ctrl-C stops the render and leaves
no file behind.

The render lasts as long as the longest input file or the last MIDI event, plus the
tail. Exit status: 0 done; 1 a file or the plug-in failed; 2 the command line asks
for something impossible (unknown option, parameter or value, output that is an
input). Every error is one line.
)";
}
