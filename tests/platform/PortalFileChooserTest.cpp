// The desktop portal's file chooser, answered by a stand-in portal on a private
// session bus of the test's own.
#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>

#include "platform/x11/PortalFileChooser.h"
#include "support/ChildProcess.h"
#include "support/Commands.h"
#include "support/TempFolder.h"

namespace {

// dbus-daemon on a private address, without any activatable services (an installed
// portal must not start).
struct PrivateBus {
  PrivateBus() {
    std::ofstream(folder / "bus.conf")
        << "<busconfig><type>session</type><listen>unix:dir=" << folder.path()
        << "</listen><policy context=\"default\"><allow send_destination=\"*\" "
           "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy>"
           "</busconfig>\n";
    daemon = std::make_unique<testsupport::ChildProcess>(
        std::vector<std::string>{"dbus-daemon", "--config-file=" + (folder / "bus.conf"),
                                 "--nofork", "--print-address"},
        folder / "address");
    address = daemon->FirstLine();
  }
  const std::string& Address() const { return address; }
  TempFolder folder;
  std::unique_ptr<testsupport::ChildProcess> daemon;
  std::string address;
};

// Answers OpenFile and SaveFile with a request object, then that object's Response:
// chosen (0) with the uri. Serve() handles what has arrived (the test calls it while it
// waits, as the portal's own process would run).
class StandInPortal {
 public:
  StandInPortal(const std::string& address, std::string uri) : uri_(std::move(uri)) {
    connection_ = dbus_connection_open_private(address.c_str(), nullptr);
    dbus_bus_register(connection_, nullptr);
    dbus_bus_request_name(connection_, "org.freedesktop.portal.Desktop", 0, nullptr);
  }
  ~StandInPortal() {
    dbus_connection_close(connection_);
    dbus_connection_unref(connection_);
  }
  void Serve() {
    dbus_connection_read_write(connection_, 10);
    while (DBusMessage* call = dbus_connection_pop_message(connection_)) {
      if (dbus_message_get_type(call) == DBUS_MESSAGE_TYPE_METHOD_CALL &&
          !std::strcmp(dbus_message_get_interface(call), "org.freedesktop.portal.FileChooser"))
        answer(call);
      dbus_message_unref(call);
    }
  }
  std::string method, parent;
  std::map<std::string, int> optionTypes;

 private:
  void answer(DBusMessage* call) {
    method = dbus_message_get_member(call);
    DBusMessageIter args, options;
    dbus_message_iter_init(call, &args);
    const char* text = nullptr;
    dbus_message_iter_get_basic(&args, &text);
    parent = text;
    dbus_message_iter_next(&args);
    dbus_message_iter_next(&args);  // the title
    std::string token;
    for (dbus_message_iter_recurse(&args, &options);
         dbus_message_iter_get_arg_type(&options) == DBUS_TYPE_DICT_ENTRY;
         dbus_message_iter_next(&options)) {
      DBusMessageIter entry, variant;
      dbus_message_iter_recurse(&options, &entry);
      const char* key = nullptr;
      dbus_message_iter_get_basic(&entry, &key);
      dbus_message_iter_next(&entry);
      dbus_message_iter_recurse(&entry, &variant);
      optionTypes[key] = dbus_message_iter_get_arg_type(&variant);
      if (!std::strcmp(key, "handle_token")) {
        dbus_message_iter_get_basic(&variant, &text);
        token = text;
      }
    }
    std::string sender = dbus_message_get_sender(call) + 1;
    for (char& c : sender)
      if (c == '.') c = '_';
    const std::string path = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
    DBusMessage* reply = dbus_message_new_method_return(call);
    const char* pathText = path.c_str();
    dbus_message_append_args(reply, DBUS_TYPE_OBJECT_PATH, &pathText, DBUS_TYPE_INVALID);
    dbus_connection_send(connection_, reply, nullptr);
    dbus_message_unref(reply);

    DBusMessage* signal =
        dbus_message_new_signal(path.c_str(), "org.freedesktop.portal.Request", "Response");
    DBusMessageIter out, results, entry, variant, uris;
    dbus_message_iter_init_append(signal, &out);
    const dbus_uint32_t chosen = 0;
    dbus_message_iter_append_basic(&out, DBUS_TYPE_UINT32, &chosen);
    dbus_message_iter_open_container(&out, DBUS_TYPE_ARRAY, "{sv}", &results);
    const char* key = "uris";
    const char* uri = uri_.c_str();
    dbus_message_iter_open_container(&results, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "as", &variant);
    dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "s", &uris);
    dbus_message_iter_append_basic(&uris, DBUS_TYPE_STRING, &uri);
    dbus_message_iter_close_container(&variant, &uris);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(&results, &entry);
    dbus_message_iter_close_container(&out, &results);
    dbus_connection_send(connection_, signal, nullptr);
    dbus_connection_flush(connection_);
    dbus_message_unref(signal);
  }

  DBusConnection* connection_;
  std::string uri_;
};

// Without a portal on the bus, or without a bus, there is none (the dialog programs answer
// instead); a portal's chosen file arrives through its Response.
TEST(Portal, NoneWithoutAPortalOrABusAndTheChosenFileArrivesThroughTheResponse) {
  PrivateBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon could not be started";
  setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
  const FilePromptRequest request{kFileSave, "/songs", "Lead", "fxp", 0x2a00007};
  EXPECT_FALSE(PortalFileChooser::Start(request));
  StandInPortal portal(bus.Address(), "file:///songs/My%20Lead");
  std::unique_ptr<PortalFileChooser> chooser = PortalFileChooser::Start(request);
  ASSERT_TRUE(chooser);
  PortalFileChooser::EState state = PortalFileChooser::kWaiting;
  EXPECT_TRUE(eventually([&] {
    portal.Serve();
    return (state = chooser->Poll()) != PortalFileChooser::kWaiting;
  }));
  ASSERT_EQ(state, PortalFileChooser::kAnswered);
  EXPECT_EQ(chooser->File(), "/songs/My Lead.fxp");  // the save type is added
  EXPECT_EQ(portal.method, "SaveFile");
  EXPECT_EQ(portal.parent, "x11:2a00007");
  EXPECT_EQ(portal.optionTypes["current_folder"], DBUS_TYPE_ARRAY);
  EXPECT_EQ(portal.optionTypes["current_name"], DBUS_TYPE_STRING);
  EXPECT_EQ(portal.optionTypes["filters"], DBUS_TYPE_ARRAY);
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  EXPECT_FALSE(PortalFileChooser::Start(request));
}

TEST(PortalUri, LocalFilePathsOnly) {
  EXPECT_EQ(PortalFileChooser::PathOfUri("file:///a%20b/c%2Bd.fxp"), "/a b/c+d.fxp");
  EXPECT_EQ(PortalFileChooser::PathOfUri("file://host/x"), "");
  EXPECT_EQ(PortalFileChooser::PathOfUri("https://x/y"), "");
  EXPECT_EQ(PortalFileChooser::PathOfUri("file:///bad%zz"), "/bad%zz");
}

}  // namespace
