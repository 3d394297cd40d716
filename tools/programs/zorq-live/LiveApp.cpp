#include "zorq-live/LiveApp.h"

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <iostream>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "engine/ZORQ.h"
#include "factory/FactoryBank.h"
#include "formats/jack/JackHost.h"
#include "platform/x11/X11Platform.h"
#include "zorq-live/LiveState.h"
#include "zorq-live/LiveWindow.h"

namespace {
volatile sig_atomic_t g_quitSignal = 0;
void onQuitSignal(int signal) { g_quitSignal = signal; }

constexpr auto kLoopWait = std::chrono::milliseconds(10);
constexpr auto kIdlePeriod = std::chrono::milliseconds(40);
constexpr auto kXrunReportPeriod = std::chrono::seconds(1);
constexpr const char* kCapabilities = ":optional-gui:";

bool fileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

void say(const std::string& line) { std::cerr << "zorq-live: " << line << std::endl; }
}  // namespace

void LiveApp::InstallSignalHandlers() {
  struct sigaction action {};
  action.sa_handler = onQuitSignal;
  // Interrupted system calls restart: libjack does not retry a request cut short.
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

LiveApp::LiveApp(LiveOptions options, std::string executable)
    : options_(std::move(options)), executable_(std::move(executable)) {
  registerEditorBitmaps(Synth::pluginFolder() + "ZORQ-skin");
  registerFactoryBank();  // a new instrument starts from the factory bank, as the plug-ins do
  instrument_ = std::make_unique<ZORQ>();
  if (!options_.noGui) {
    auto platform = std::make_unique<X11Platform>();
    platform_ = platform.get();
    editor_ = ZorqEditor::attach(instrument_.get(), std::move(platform));
    window_ = std::make_unique<LiveWindow>(
        instrument_.get(), editor_, platform_, [this] { requestQuit(); },
        [this] { requestClose(); });
  }
  instrument_->EnsureDefaultPreset();
  jack_ = std::make_unique<JackHost>(instrument_.get());
}

// Audio stops before the window and the instrument go.
LiveApp::~LiveApp() {
  jack_.reset();
  window_.reset();
  instrument_.reset();
}

int LiveApp::Run() {
  InstallSignalHandlers();
  const char* url = std::getenv("NSM_URL");
  return url && url[0] ? runInSession(url) : runAlone();
}

bool LiveApp::applyStartFiles() {
  std::string error;
  if (!options_.state.empty()) {
    if (fileExists(options_.state)) {
      if (!LiveState::load(*instrument_, options_.state, &error)) {
        // Left alone: writing over it on quit would lose what it holds.
        say(error + "; it is left as it is");
        return false;
      }
    } else {
      say("the state file " + options_.state + " does not exist yet; it is written on quit");
    }
  }
  if (options_.program != LiveOptions::kNoProgram)
    LiveState::selectProgram(*instrument_, options_.program);
  if (!options_.preset.empty() &&
      !LiveState::loadProgramFile(*instrument_, options_.preset, &error)) {
    say(error);
    return false;
  }
  return true;
}

bool LiveApp::openJack(const std::string& name, std::string* error) {
  if (!jack_->Open(name, error)) return false;
  std::cout << "zorq-live: JACK client '" << jack_->ClientName() << "' at " << jack_->SampleRate()
            << " Hz, " << jack_->Period() << " frames a period" << std::endl;
  if (window_)
    window_->SetTitle(jack_->ClientName() == "ZORQ" ? "ZORQ" : "ZORQ - " + jack_->ClientName());
  return true;
}

void LiveApp::showWindow() {
  if (window_ && !window_->Show()) say("no X display answered; running without the editor window");
}

int LiveApp::runAlone() {
  if (!applyStartFiles()) return 1;
  std::string error;
  if (!openJack(options_.name, &error)) {
    say(error);
    return 1;
  }
  if (options_.autoconnect) {
    const JackHost::Connections connections = jack_->Autoconnect();
    for (const std::string& failed : connections.failed) say("not connected: " + failed);
    say("autoconnect made " + std::to_string(connections.made.size()) + " connection(s)");
  }
  showWindow();
  const bool serverStayed = loop();
  if (window_) window_->Hide();
  // The state is written before the client closes: what the user has is on disk even
  // if closing goes wrong (the audio plays on meanwhile; writing never holds it up).
  int status = serverStayed ? 0 : 1;
  if (!options_.state.empty()) {
    if (LiveState::save(*instrument_, options_.state, &error))
      say("state written to " + options_.state);
    else {
      say(error);
      status = 1;
    }
  }
  jack_->Close();
  return status;
}

int LiveApp::runInSession(const std::string& url) {
  if (!options_.state.empty())
    say("--state is ignored under a session manager: it keeps the state");
  std::string error;
  nsm_ = NsmClient::Connect(url, this, &error);
  if (!nsm_) {
    say(error);
    return 1;
  }
  const std::string::size_type slash = executable_.rfind('/');
  nsm_->Announce("ZORQ", kCapabilities,
                 slash == std::string::npos ? executable_ : executable_.substr(slash + 1));
  const bool serverStayed = loop();
  // The manager's SIGTERM means quit at once; saving is what /nsm/client/save is for.
  if (window_) window_->Hide();
  jack_->Close();
  std::string refusal;
  if (nsm_->Refused(&refusal)) return 1;
  return serverStayed ? 0 : 1;
}

bool LiveApp::Open(const std::string& path, const std::string& displayName,
                   const std::string& clientId, std::string* error) {
  jack_->Close();
  statePath_ = path + ".fxb";
  if (fileExists(statePath_) && !LiveState::load(*instrument_, statePath_, error)) return false;
  if (!openJack(clientId, error)) return false;
  if (window_) window_->SetTitle("ZORQ - " + displayName);
  if (!options_.noGui) showWindow();
  nsm_->GuiShown(window_ && window_->Shown());
  return true;
}

bool LiveApp::Save(std::string* error) {
  if (statePath_.empty()) {
    *error = "no session is open";
    return false;
  }
  return LiveState::save(*instrument_, statePath_, error);
}

void LiveApp::ShowGui(bool show) {
  if (window_) {
    if (show)
      showWindow();
    else
      window_->Hide();
  }
  nsm_->GuiShown(window_ && window_->Shown());
}

bool LiveApp::loop() {
  using Clock = std::chrono::steady_clock;
  Clock::time_point nextIdle = Clock::now();
  while (!g_quitSignal) {
    if (nsm_) {
      nsm_->Poll(int(kLoopWait.count()));
      std::string refusal;
      if (nsm_->Refused(&refusal)) {
        say("the session manager refused the client: " + refusal);
        return true;
      }
    } else {
      poll(nullptr, 0, int(kLoopWait.count()));
    }
    if (jack_->ServerGone()) {
      say("the JACK server went away: " + jack_->ShutdownReason());
      return false;
    }
    reportXruns();
    const Clock::time_point now = Clock::now();
    if (now >= nextIdle) {
      instrument_->OnIdle();
      nextIdle = now + kIdlePeriod;
    }
    if (window_) window_->Idle();
    // Under a session manager the window's close button and Quit only hide the editor:
    // the manager decides when the client ends.
    if (closeRequested_ || quitRequested_) {
      const bool quit = !nsm_ && (quitRequested_ || closeRequested_);
      closeRequested_ = quitRequested_ = false;
      if (quit) return true;
      ShowGui(false);
    }
  }
  return true;
}

void LiveApp::reportXruns() {
  const unsigned xruns = jack_->Xruns();
  const auto now = std::chrono::steady_clock::now();
  if (xruns == xrunsReported_ || now - lastXrunReport_ < kXrunReportPeriod) return;
  say(std::to_string(xruns - xrunsReported_) + " xrun(s) (the period was late; " +
      std::to_string(xruns) + " since start)");
  xrunsReported_ = xruns;
  lastXrunReport_ = now;
}
