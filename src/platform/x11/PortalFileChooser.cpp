#include "platform/x11/PortalFileChooser.h"

#include <dbus/dbus.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr const char* kService = "org.freedesktop.portal.Desktop";
constexpr const char* kObject = "/org/freedesktop/portal/desktop";
constexpr const char* kInterface = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequestInterface = "org.freedesktop.portal.Request";

// Whether the bus has the portal running or can start it.
bool portalOffered(DBusConnection* connection) {
  DBusError error;
  dbus_error_init(&error);
  const bool running = dbus_bus_name_has_owner(connection, kService, &error);
  dbus_error_free(&error);
  if (running) return true;
  DBusMessage* call = dbus_message_new_method_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                   "org.freedesktop.DBus", "ListActivatableNames");
  DBusMessage* reply = dbus_connection_send_with_reply_and_block(connection, call, 500, &error);
  dbus_message_unref(call);
  dbus_error_free(&error);
  bool activatable = false;
  if (reply) {
    DBusMessageIter it, names;
    if (dbus_message_iter_init(reply, &it) &&
        dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_ARRAY) {
      dbus_message_iter_recurse(&it, &names);
      for (; dbus_message_iter_get_arg_type(&names) == DBUS_TYPE_STRING;
           dbus_message_iter_next(&names)) {
        const char* name = nullptr;
        dbus_message_iter_get_basic(&names, &name);
        activatable |= name && !std::strcmp(name, kService);
      }
    }
    dbus_message_unref(reply);
  }
  return activatable;
}

// One {sv} dictionary entry whose variant holds a basic value.
void appendEntry(DBusMessageIter* dict, const char* key, int type, const void* value) {
  const char signature[2] = {char(type), 0};
  DBusMessageIter entry, variant;
  dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
  dbus_message_iter_append_basic(&variant, type, value);
  dbus_message_iter_close_container(&entry, &variant);
  dbus_message_iter_close_container(dict, &entry);
}

// A variant "ay" holding the zero-terminated path.
void appendBytesEntry(DBusMessageIter* dict, const char* key, const std::string& bytes) {
  DBusMessageIter entry, variant, array;
  dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "ay", &variant);
  dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "y", &array);
  const char* data = bytes.c_str();
  dbus_message_iter_append_fixed_array(&array, DBUS_TYPE_BYTE, &data, int(bytes.size() + 1));
  dbus_message_iter_close_container(&variant, &array);
  dbus_message_iter_close_container(&entry, &variant);
  dbus_message_iter_close_container(dict, &entry);
}

// "filters" a(sa(us)): one filter of glob patterns ("*.fxp").
void appendFilter(DBusMessageIter* dict, const std::vector<std::string>& types) {
  const char* key = "filters";
  DBusMessageIter entry, variant, filters, filter, patterns, pattern;
  dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
  dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
  dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "a(sa(us))", &variant);
  dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "(sa(us))", &filters);
  dbus_message_iter_open_container(&filters, DBUS_TYPE_STRUCT, nullptr, &filter);
  std::string name;
  for (const std::string& type : types) name += (name.empty() ? "*." : " *.") + type;
  const char* label = name.c_str();
  dbus_message_iter_append_basic(&filter, DBUS_TYPE_STRING, &label);
  dbus_message_iter_open_container(&filter, DBUS_TYPE_ARRAY, "(us)", &patterns);
  for (const std::string& type : types) {
    const std::string glob = "*." + type;
    const char* text = glob.c_str();
    const dbus_uint32_t kind = 0;  // a glob, not a MIME type
    dbus_message_iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &pattern);
    dbus_message_iter_append_basic(&pattern, DBUS_TYPE_UINT32, &kind);
    dbus_message_iter_append_basic(&pattern, DBUS_TYPE_STRING, &text);
    dbus_message_iter_close_container(&patterns, &pattern);
  }
  dbus_message_iter_close_container(&filter, &patterns);
  dbus_message_iter_close_container(&filters, &filter);
  dbus_message_iter_close_container(&variant, &filters);
  dbus_message_iter_close_container(&entry, &variant);
  dbus_message_iter_close_container(dict, &entry);
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string PortalFileChooser::PathOfUri(const std::string& uri) {
  const std::string scheme = "file://";
  if (uri.rfind(scheme, 0) != 0) return "";
  std::string path;
  for (size_t i = scheme.size(); i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && hexValue(uri[i + 1]) >= 0 &&
        hexValue(uri[i + 2]) >= 0) {
      path += char(hexValue(uri[i + 1]) * 16 + hexValue(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return !path.empty() && path[0] == '/' ? path : "";
}

std::unique_ptr<PortalFileChooser> PortalFileChooser::Start(const FilePromptRequest& request) {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (!address || !address[0]) return nullptr;
  DBusError error;
  dbus_error_init(&error);
  // Opened from the address each time (libdbus would keep the first session address
  // it saw for the life of the process).
  DBusConnection* connection = dbus_connection_open_private(address, &error);
  if (connection && !dbus_bus_register(connection, &error)) {
    dbus_connection_close(connection);
    dbus_connection_unref(connection);
    connection = nullptr;
  }
  dbus_error_free(&error);
  if (!connection) return nullptr;
  // A bus that goes away must not end the host's process.
  dbus_connection_set_exit_on_disconnect(connection, FALSE);
  std::unique_ptr<PortalFileChooser> chooser(new PortalFileChooser(connection, request));
  if (!portalOffered(connection) || !chooser->send()) return nullptr;
  return chooser;
}

PortalFileChooser::PortalFileChooser(DBusConnection* connection, const FilePromptRequest& request)
    : connection_(connection), request_(request) {}

PortalFileChooser::~PortalFileChooser() {
  if (pending_) {
    dbus_pending_call_cancel(pending_);
    dbus_pending_call_unref(pending_);
  }
  if (state_ == kWaiting && !handlePath_.empty()) {
    // Closes a dialog still open.
    DBusMessage* close =
        dbus_message_new_method_call(kService, handlePath_.c_str(), kRequestInterface, "Close");
    dbus_connection_send(connection_, close, nullptr);
    dbus_connection_flush(connection_);
    dbus_message_unref(close);
  }
  dbus_connection_close(connection_);
  dbus_connection_unref(connection_);
}

bool PortalFileChooser::send() {
  // The request object's path is known before the call (our bus name and token), so
  // the match for its Response is in place before the portal can answer.
  static std::atomic<int> counter{0};
  const std::string token = "zorq" + std::to_string(getpid()) + "_" + std::to_string(++counter);
  std::string sender = dbus_bus_get_unique_name(connection_);
  if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
  for (char& c : sender)
    if (c == '.') c = '_';
  handlePath_ = std::string(kObject) + "/request/" + sender + "/" + token;
  const std::string rule = "type='signal',interface='" + std::string(kRequestInterface) +
                           "',member='Response',path='" + handlePath_ + "'";
  DBusError error;
  dbus_error_init(&error);
  dbus_bus_add_match(connection_, rule.c_str(), &error);
  const bool matched = !dbus_error_is_set(&error);
  dbus_error_free(&error);
  if (!matched) return false;

  const bool save = request_.action == kFileSave;
  DBusMessage* call =
      dbus_message_new_method_call(kService, kObject, kInterface, save ? "SaveFile" : "OpenFile");
  DBusMessageIter args, options;
  dbus_message_iter_init_append(call, &args);
  char parent[32];
  std::snprintf(parent, sizeof parent, "x11:%lx", request_.parentWindow);
  const char* parentText = request_.parentWindow ? parent : "";
  const char* title = save ? "Save File" : "Open File";
  dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &parentText);
  dbus_message_iter_append_basic(&args, DBUS_TYPE_STRING, &title);
  dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &options);
  const char* tokenText = token.c_str();
  appendEntry(&options, "handle_token", DBUS_TYPE_STRING, &tokenText);
  const dbus_bool_t modal = TRUE;
  appendEntry(&options, "modal", DBUS_TYPE_BOOLEAN, &modal);
  const std::vector<std::string> types = SplitExtensions(request_.extensions);
  if (!types.empty()) appendFilter(&options, types);
  appendBytesEntry(&options, "current_folder", ExpandHome(request_.dir));
  if (save && !request_.file.empty()) {
    const char* name = request_.file.c_str();
    appendEntry(&options, "current_name", DBUS_TYPE_STRING, &name);
  }
  dbus_message_iter_close_container(&args, &options);
  const bool sent =
      dbus_connection_send_with_reply(connection_, call, &pending_, DBUS_TIMEOUT_INFINITE) &&
      pending_;
  dbus_message_unref(call);
  dbus_connection_flush(connection_);
  return sent;
}

PortalFileChooser::EState PortalFileChooser::Poll() {
  if (state_ != kWaiting) return state_;
  if (!dbus_connection_read_write(connection_, 0)) return state_ = kFailed;
  if (pending_ && dbus_pending_call_get_completed(pending_)) {
    DBusMessage* reply = dbus_pending_call_steal_reply(pending_);
    dbus_pending_call_unref(pending_);
    pending_ = nullptr;
    // A portal without a file chooser answers with an error: another dialog is tried.
    const bool refused = !reply || dbus_message_get_type(reply) == DBUS_MESSAGE_TYPE_ERROR;
    if (reply) dbus_message_unref(reply);
    if (refused) return state_ = kFailed;
  }
  while (DBusMessage* message = dbus_connection_pop_message(connection_)) {
    if (dbus_message_is_signal(message, kRequestInterface, "Response") &&
        handlePath_ == (dbus_message_get_path(message) ? dbus_message_get_path(message) : ""))
      readResponse(message);
    dbus_message_unref(message);
  }
  return state_;
}

// Response: u (0 chosen, 1 cancelled, 2 other) and a{sv} whose "uris" is an "as".
void PortalFileChooser::readResponse(DBusMessage* signal) {
  state_ = kAnswered;
  DBusMessageIter it;
  if (!dbus_message_iter_init(signal, &it) ||
      dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_UINT32)
    return;
  dbus_uint32_t response = 2;
  dbus_message_iter_get_basic(&it, &response);
  if (response != 0 || !dbus_message_iter_next(&it) ||
      dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY)
    return;
  DBusMessageIter results;
  for (dbus_message_iter_recurse(&it, &results);
       dbus_message_iter_get_arg_type(&results) == DBUS_TYPE_DICT_ENTRY;
       dbus_message_iter_next(&results)) {
    DBusMessageIter entry, variant, uris;
    dbus_message_iter_recurse(&results, &entry);
    const char* key = nullptr;
    dbus_message_iter_get_basic(&entry, &key);
    if (!key || std::strcmp(key, "uris") != 0 || !dbus_message_iter_next(&entry)) continue;
    dbus_message_iter_recurse(&entry, &variant);
    if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_ARRAY) continue;
    dbus_message_iter_recurse(&variant, &uris);
    if (dbus_message_iter_get_arg_type(&uris) != DBUS_TYPE_STRING) continue;
    const char* uri = nullptr;
    dbus_message_iter_get_basic(&uris, &uri);
    file_ = DialogAnswer(request_, 0, PathOfUri(uri ? uri : ""));
    return;
  }
}
