#include "zorq-live/NsmClient.h"

#include <algorithm>

#include <lo/lo.h>
#include <unistd.h>

namespace {
constexpr int kApiMajor = 1, kApiMinor = 1;
}  // namespace

// liblo's callback: the message's string arguments, in order, go to handle().
struct NsmMessages {
  static int on(const char* path, const char* types, lo_arg** argv, int argc, lo_message,
                void* self) {
    std::vector<std::string> strings;
    strings.reserve(static_cast<size_t>(std::max(argc, 0)));
    // liblo aligns arguments to 4 bytes only: read them as bytes, not through lo_arg.
    for (int i = 0; i < argc; ++i)
      strings.push_back(types[i] == 's' ? std::string(reinterpret_cast<const char*>(argv[i]))
                                        : std::string());
    try {
      static_cast<NsmClient*>(self)->handle(path, types, strings);
    } catch (...) {
      // Nothing leaves a C callback; the manager sees no reply and reports the client.
    }
    return 0;
  }
};

std::unique_ptr<NsmClient> NsmClient::Connect(const std::string& url, Handler* handler,
                                              std::string* error) {
  lo_address manager = lo_address_new_from_url(url.c_str());
  if (!manager) {
    *error = "NSM_URL '" + url + "' is not an OSC address";
    return nullptr;
  }
  lo_server server = lo_server_new_with_proto(nullptr, lo_address_get_protocol(manager), nullptr);
  if (!server) {
    lo_address_free(manager);
    *error = "no OSC socket could be opened to talk to the session manager";
    return nullptr;
  }
  std::unique_ptr<NsmClient> client(new NsmClient(server, manager, handler));
  lo_server_add_method(server, nullptr, nullptr, NsmMessages::on, client.get());
  return client;
}

NsmClient::NsmClient(void* server, void* manager, Handler* handler)
    : server_(server), manager_(manager), handler_(handler) {}

NsmClient::~NsmClient() {
  lo_server_free(static_cast<lo_server>(server_));
  lo_address_free(static_cast<lo_address>(manager_));
}

void NsmClient::Announce(const std::string& applicationName, const std::string& capabilities,
                         const std::string& executable) {
  lo_send_from(static_cast<lo_address>(manager_), static_cast<lo_server>(server_), LO_TT_IMMEDIATE,
               "/nsm/server/announce", "sssiii", applicationName.c_str(), capabilities.c_str(),
               executable.c_str(), kApiMajor, kApiMinor, int(getpid()));
}

void NsmClient::Poll(int timeoutMs) {
  lo_server server = static_cast<lo_server>(server_);
  // The first wait may last timeoutMs; whatever else arrived is handled at once.
  for (int wait = timeoutMs; lo_server_recv_noblock(server, wait) > 0; wait = 0) {
  }
}

bool NsmClient::Refused(std::string* refusal) const {
  if (refusal_.empty()) return false;
  *refusal = refusal_;
  return true;
}

void NsmClient::GuiShown(bool shown) {
  lo_send_from(static_cast<lo_address>(manager_), static_cast<lo_server>(server_), LO_TT_IMMEDIATE,
               shown ? "/nsm/client/gui_is_shown" : "/nsm/client/gui_is_hidden", "");
}

void NsmClient::reply(const std::string& path, const std::string& message) {
  lo_send_from(static_cast<lo_address>(manager_), static_cast<lo_server>(server_), LO_TT_IMMEDIATE,
               "/reply", "ss", path.c_str(), message.c_str());
}

void NsmClient::fail(const std::string& path, int code, const std::string& message) {
  lo_send_from(static_cast<lo_address>(manager_), static_cast<lo_server>(server_), LO_TT_IMMEDIATE,
               "/error", "sis", path.c_str(), code, message.c_str());
}

void NsmClient::handle(const std::string& path, const std::string& types,
                       const std::vector<std::string>& strings) {
  if (path == "/reply" && !strings.empty() && strings[0] == "/nsm/server/announce") {
    announced_ = true;
  } else if (path == "/error" && types.size() >= 3 && strings[0] == "/nsm/server/announce") {
    refusal_ = strings[2].empty() ? "the session manager refused the client" : strings[2];
  } else if (path == "/nsm/client/open" && types == "sss") {
    std::string error;
    if (handler_->Open(strings[0], strings[1], strings[2], &error))
      reply(path, "Open");
    else
      fail(path, kErrGeneral, error);
  } else if (path == "/nsm/client/save") {
    std::string error;
    if (handler_->Save(&error))
      reply(path, "Saved");
    else
      fail(path, kErrGeneral, error);
  } else if (path == "/nsm/client/show_optional_gui") {
    handler_->ShowGui(true);
  } else if (path == "/nsm/client/hide_optional_gui") {
    handler_->ShowGui(false);
  }
}
