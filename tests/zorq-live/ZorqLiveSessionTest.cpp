// zorq-live under a session manager: a small fake manager speaking the NSM protocol
// over OSC on loopback receives the announcement, opens a session (only then does the
// JACK client appear, named by the client id), asks for a save, shows and hides the
// editor, and ends the client with SIGTERM as managers do.
#include <gtest/gtest.h>
#include <lo/lo.h>
#include <signal.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/JackTestServer.h"
#include "zorq-live/LiveProcess.h"

namespace {
using namespace std::chrono_literals;

struct OscMessage {
  std::string path;
  std::vector<std::string> arguments;  // numbers as decimal text
};

class FakeSessionManager {
 public:
  FakeSessionManager() : server_(lo_server_new_with_proto(nullptr, LO_UDP, nullptr)) {
    lo_server_add_method(server_, nullptr, nullptr, received, this);
  }
  ~FakeSessionManager() {
    if (client_) lo_address_free(client_);
    lo_server_free(server_);
  }
  std::string Url() const {
    char* url = lo_server_get_url(server_);
    std::string text = url;
    std::free(url);
    return text;
  }
  // The next message with this path (earlier ones with other paths are kept).
  bool WaitFor(const std::string& path, OscMessage* message = nullptr,
               std::chrono::milliseconds limit = 10000ms) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      for (size_t i = 0; i < messages_.size(); ++i)
        if (messages_[i].path == path) {
          if (message) *message = messages_[i];
          messages_.erase(messages_.begin() + long(i));
          return true;
        }
      lo_server_recv_noblock(server_, 20);
    }
    return false;
  }
  template <typename... Args>
  void Send(const char* path, const char* types, Args... args) {
    lo_send_from(client_, server_, LO_TT_IMMEDIATE, path, types, args...);
  }

 private:
  static int received(const char* path, const char* types, lo_arg** argv, int argc,
                      lo_message message, void* self) {
    auto* manager = static_cast<FakeSessionManager*>(self);
    OscMessage m{path, {}};
    // Arguments are 4-byte aligned only: read as bytes.
    for (int i = 0; i < argc; ++i) {
      const char* bytes = reinterpret_cast<const char*>(argv[i]);
      int32_t number = 0;
      if (types[i] == 'i') std::memcpy(&number, bytes, sizeof number);
      m.arguments.push_back(types[i] == 's'   ? std::string(bytes)
                            : types[i] == 'i' ? std::to_string(number)
                                              : std::string("?"));
    }
    if (m.path == "/nsm/server/announce" && !manager->client_) {
      lo_address source = lo_message_get_source(message);
      manager->client_ =
          lo_address_new(lo_address_get_hostname(source), lo_address_get_port(source));
    }
    manager->messages_.push_back(m);
    return 0;
  }

  lo_server server_;
  lo_address client_ = nullptr;
  std::vector<OscMessage> messages_;
};

class ZorqLiveSession : public testing::Test {
 protected:
  void SetUp() override {
    if (!server.Reason().empty()) GTEST_SKIP() << server.Reason();
    setenv("NSM_URL", manager.Url().c_str(), 1);
  }
  void TearDown() override { unsetenv("NSM_URL"); }
  // Announced and answered; the state path's prefix for the session.
  void announce(LiveProcess& live, bool gui) {
    OscMessage announce;
    ASSERT_TRUE(manager.WaitFor("/nsm/server/announce", &announce)) << live.Errors();
    EXPECT_EQ(announce.arguments, (std::vector<std::string>{"ZORQ", ":optional-gui:", "zorq-live",
                                                            "1", "1", std::to_string(live.Pid())}));
    manager.Send("/reply", "ssss", "/nsm/server/announce", "Welcome", "Fake Session Manager",
                 ":server-control:");
    // No JACK client before the session opens.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(commandOutput("jack_lsp").find("ZORQ"), std::string::npos);
    const std::string path = folder / "ZORQ.nXYZ";
    manager.Send("/nsm/client/open", "sss", path.c_str(), "Vocoder", "ZORQ.nXYZ");
    OscMessage reply;
    ASSERT_TRUE(manager.WaitFor("/reply", &reply)) << live.Errors();
    EXPECT_EQ(reply.arguments.at(0), "/nsm/client/open");
    EXPECT_TRUE(manager.WaitFor(gui ? "/nsm/client/gui_is_shown" : "/nsm/client/gui_is_hidden"))
        << live.Errors();
  }

  JackTestServer server;
  TempFolder folder;
  FakeSessionManager manager;
};

TEST_F(ZorqLiveSession, OpensTheJackClientOnlyWhenTheSessionOpensAndSavesWhereItSays) {
  LiveProcess live(folder, {"--no-gui"});
  announce(live, false);
  EXPECT_NE(commandOutput("jack_lsp").find("ZORQ.nXYZ:midi_in"), std::string::npos);
  manager.Send("/nsm/client/save", "");
  OscMessage reply;
  ASSERT_TRUE(manager.WaitFor("/reply", &reply));
  EXPECT_EQ(reply.arguments.at(0), "/nsm/client/save");
  const std::string state = folder / "ZORQ.nXYZ.fxb";
  EXPECT_GT(readText(state).size(), 1000u);
  // Quit is the manager's SIGTERM: at once, and without saving.
  std::remove(state.c_str());
  live.Signal(SIGTERM);
  EXPECT_EQ(live.Wait(3000ms), 0) << live.Errors();
  EXPECT_TRUE(readText(state).empty());
  EXPECT_EQ(commandOutput("jack_lsp").find("ZORQ.nXYZ"), std::string::npos);
}

TEST_F(ZorqLiveSession, ShowsAndHidesTheEditorWhenAsked) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X server ($DISPLAY unset)";
  LiveProcess live(folder, {});
  announce(live, true);
  manager.Send("/nsm/client/hide_optional_gui", "");
  EXPECT_TRUE(manager.WaitFor("/nsm/client/gui_is_hidden")) << live.Errors();
  manager.Send("/nsm/client/show_optional_gui", "");
  EXPECT_TRUE(manager.WaitFor("/nsm/client/gui_is_shown")) << live.Errors();
  live.Signal(SIGTERM);
  EXPECT_EQ(live.Wait(3000ms), 0) << live.Errors();
}
}  // namespace
