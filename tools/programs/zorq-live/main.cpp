// zorq-live: the ZORQ vocoder on a JACK server, with its editor in a window.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "shell/Synth.h"
#include "zorq-live/LiveApp.h"
#include "zorq-live/LiveOptions.h"

int main(int argc, char** argv) {
  try {
    const LiveOptions options =
        parseLiveArguments(std::vector<std::string>(argv + 1, argv + argc), Synth::kNumPresets);
    if (options.help) {
      printLiveHelp(std::cout);
      return 0;
    }
    if (options.version) {
      std::cout << "zorq-live " << ZORQ_LIVE_VERSION << std::endl;
      return 0;
    }
    LiveApp app(options, argv[0]);
    return app.Run();
  } catch (const LiveUsageError& e) {
    std::cerr << "zorq-live: " << e.what() << std::endl;
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "zorq-live: " << e.what() << std::endl;
    return 1;
  }
}
