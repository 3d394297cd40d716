#include "zorq-live/LiveOptions.h"

#include <cstdlib>

namespace {
const std::string& valueAfter(const std::vector<std::string>& arguments, size_t& i) {
  if (i + 1 >= arguments.size() || arguments[i + 1].empty())
    throw LiveUsageError(arguments[i] + " needs a value");
  return arguments[++i];
}

int programNumber(const std::string& text, int programs) {
  char* end = nullptr;
  const long n = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || n < 0 || n >= programs)
    throw LiveUsageError("--program takes a number from 0 to " + std::to_string(programs - 1) +
                         ", not '" + text + "'");
  return int(n);
}
}  // namespace

LiveOptions parseLiveArguments(const std::vector<std::string>& arguments, int programs) {
  LiveOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--help" || a == "-h")
      options.help = true;
    else if (a == "--version")
      options.version = true;
    else if (a == "--name")
      options.name = valueAfter(arguments, i);
    else if (a == "--autoconnect")
      options.autoconnect = true;
    else if (a == "--program")
      options.program = programNumber(valueAfter(arguments, i), programs);
    else if (a == "--preset")
      options.preset = valueAfter(arguments, i);
    else if (a == "--state")
      options.state = valueAfter(arguments, i);
    else if (a == "--no-gui")
      options.noGui = true;
    else
      throw LiveUsageError("unknown argument '" + a + "' (see --help)");
  }
  return options;
}

void printLiveHelp(std::ostream& out) {
  out << "zorq-live: the ZORQ vocoder as a JACK application, with its editor in a window.\n"
         "\n"
         "Ports: mic_left, mic_right (the voice), ext_left, ext_right (an external carrier),\n"
         "midi_in (the keyboard), zorq_left, zorq_right (the output).\n"
         "\n"
         "  --name NAME       JACK client name (default ZORQ)\n"
         "  --autoconnect     physical capture 1/2 to the voice inputs, the outputs to physical\n"
         "                    playback 1/2, every hardware MIDI output to midi_in; connections\n"
         "                    that could not be made are reported\n"
         "  --program N       start on program N (0 to 63, numbered as the editor shows them)\n"
         "  --preset FILE     load a program file (.fxp) into the current program\n"
         "  --state FILE      the whole bank and the current program: restored at start (when\n"
         "                    the file exists) and written on quit\n"
         "  --no-gui          no editor window\n"
         "  --version         print the version\n"
         "  --help            this text\n"
         "\n"
         "At start the state comes first, then --program, then --preset. SIGINT and SIGTERM\n"
         "end the program; the state is written first. zorq-live never starts a JACK server.\n"
         "\n"
         "Under a session manager (NSM_URL set) the manager names the client and keeps the\n"
         "state; the editor can be shown and hidden from it, and SIGTERM quits without saving.\n"
         "\n"
         "Keys in the window: Ctrl+O / Ctrl+S load / save a program file, Ctrl+Shift+O /\n"
         "Ctrl+Shift+S load / save a bank file, Page Up / Page Down the previous / next\n"
         "program, Ctrl+M the window menu, Ctrl+Q quit.\n"
         "\n"
         "Exit status: 0 after a normal quit, 1 when JACK or a file failed, 2 for a wrong\n"
         "command line.\n";
}
