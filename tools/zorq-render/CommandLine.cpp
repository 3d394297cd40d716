#include "zorq-render/CommandLine.h"

#include <cmath>
#include <cstdlib>

#include "zorq-render/RenderError.h"

namespace {

double parseNumber(const std::string& option, const std::string& text, double low, double high) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= low && value <= high))
    throw RenderError(option + " needs a number from " + std::to_string(int(low)) + " to " +
                      std::to_string(int(high)) + ", got '" + text + "'");
  return value;
}

int parseWhole(const std::string& option, const std::string& text, int low, int high) {
  const double value = parseNumber(option, text, low, high);
  if (value != std::floor(value)) throw RenderError(option + " needs a whole number, got '" + text + "'");
  return int(value);
}

}  // namespace

RenderOptions CommandLine::parse(const std::vector<std::string>& arguments) {
  RenderOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw RenderError(option + " needs a value");
      return arguments[++i];
    };
    if (option == "-h" || option == "--help") {
      options.help = true;
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
    } else if (option == "--list-params") {
      options.listParams = true;
    } else if (option == "--list-programs") {
      options.listPrograms = true;
    } else if (option == "-q" || option == "--quiet") {
      options.quiet = true;
    } else {
      throw RenderError("unknown option '" + option + "' (see --help)");
    }
  }
  if (options.help) return options;
  if (!options.midiPath.empty() && !options.noteList.empty())
    throw RenderError("give either --midi or --notes, not both");
  const bool listing = options.listParams || options.listPrograms;
  if (!listing && options.outputPath.empty()) throw RenderError("no output file (use -o FILE)");
  if (!listing && options.modulatorPath.empty() && options.carrierPath.empty() &&
      options.midiPath.empty() && options.noteList.empty())
    throw RenderError("nothing to render: give a modulator, a carrier, --midi or --notes");
  return options;
}

std::string CommandLine::helpText(const std::string& defaultPlugin) {
  return R"(Usage: zorq-render [options] -o OUTPUT
Renders audio and MIDI offline through a VST 2 plug-in and writes the result.

Plug-in
  -p, --plugin FILE        VST 2 shared object to load (default: )" + defaultPlugin + R"()
      --preset FILE        load a program (.fxp) or bank (.fxb) file, chunk or
                           parameter form
      --program N          choose program N (0-based); with a bank it applies after
                           the bank is loaded, with a program file before it
  -s, --set "NAME=VALUE"   set a parameter (repeatable, applied in order). VALUE is
                           in the parameter's own units or one of its display texts:
                           the plug-in's own text conversion is used when it accepts
                           the text; otherwise the tool searches the values whose
                           display equals the text (then ignoring case) or reads
                           closest to the number (trailing units allowed; values
                           beyond the range land on its nearest end). NAME matches
                           exactly, else ignoring case.
      --set-normalized "NAME=X"  set a parameter to the normalised value X (0..1)
      --list-params        print index, name, display text and label of every
                           parameter (after --preset/--program/--set), then exit
      --list-programs      print every program's index and name, then exit

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
  -o, --output FILE        output file, .wav or .flac; written as FILE.part and
                           renamed when complete
      --bits 16|24|float   sample format (default 24; FLAC takes 16 or 24)
  -q, --quiet              no progress bar (it shows on a terminal for renders
                           that take more than about a second)
  -h, --help               this text

The render lasts as long as the longest input file or the last MIDI event, plus the
tail. Errors print one line and exit with status 1; usage errors exit with status 2.
)";
}
