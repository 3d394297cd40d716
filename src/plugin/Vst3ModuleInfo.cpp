#include "plugin/Vst3ModuleInfo.h"

#include <cstdio>
#include <sstream>

namespace vst3moduleinfo {
namespace {
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// A fixed text field, which may fill its whole size without a terminator.
template <size_t N>
std::string field(const char (&text)[N]) {
  size_t length = 0;
  while (length < N && text[length]) ++length;
  return std::string(text, length);
}

const char* boolean(bool value) { return value ? "true" : "false"; }

std::string subCategories(const std::string& joined) {
  std::string out = "[";
  std::istringstream parts(joined);
  std::string part;
  for (bool first = true; std::getline(parts, part, '|'); first = false)
    out += (first ? "" : ", ") + quoted(part);
  return out + "]";
}
}  // namespace

std::string uidText(const char* bytes) {
  vst3::Uid id{};
  for (int i = 0; i < 16; ++i) id.bytes[i] = bytes[i];
  if (vst3::kPlatformUidOrder == vst3::UidOrder::kCom) id = vst3::comOrdered(id);
  std::string text;
  for (const char byte : id.bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(static_cast<uint8_t>(byte)));
    text += digits;
  }
  return text;
}

std::string write(vst3::IPluginFactory* factory, const std::string& name,
                  const std::string& version) {
  vst3::PFactoryInfo info{};
  void* second = nullptr;
  if (!factory || factory->getFactoryInfo(&info) != vst3::kResultOk ||
      factory->queryInterface(vst3::IPluginFactory2::iid.bytes, &second) != vst3::kResultOk)
    return "";
  auto* factory2 = static_cast<vst3::IPluginFactory2*>(second);
  std::ostringstream json;
  json << "{\n  \"Name\": " << quoted(name) << ",\n  \"Version\": " << quoted(version)
       << ",\n  \"Factory Info\": {\n    \"Vendor\": " << quoted(field(info.vendor))
       << ",\n    \"URL\": " << quoted(field(info.url))
       << ",\n    \"E-Mail\": " << quoted(field(info.email)) << ",\n    \"Flags\": {\n"
       << "      \"Unicode\": " << boolean(info.flags & vst3::kUnicode) << ",\n"
       << "      \"Classes Discardable\": " << boolean(info.flags & vst3::kClassesDiscardable)
       << ",\n      \"Component Non Discardable\": "
       << boolean(info.flags & vst3::kComponentNonDiscardable)
       << "\n    }\n  },\n  \"Compatibility\": [],\n  \"Classes\": [";
  const vst3::int32 count = factory->countClasses();
  for (vst3::int32 i = 0; i < count; ++i) {
    vst3::PClassInfo2 cls{};
    if (factory2->getClassInfo2(i, &cls) != vst3::kResultOk) continue;
    json << (i ? "," : "") << "\n    {\n      \"CID\": " << quoted(uidText(cls.cid))
         << ",\n      \"Category\": " << quoted(field(cls.category))
         << ",\n      \"Name\": " << quoted(field(cls.name))
         << ",\n      \"Vendor\": " << quoted(field(cls.vendor))
         << ",\n      \"Version\": " << quoted(field(cls.version))
         << ",\n      \"SDKVersion\": " << quoted(field(cls.sdkVersion))
         << ",\n      \"Sub Categories\": " << subCategories(field(cls.subCategories))
         << ",\n      \"Class Flags\": " << cls.classFlags
         << ",\n      \"Cardinality\": " << cls.cardinality << ",\n      \"Snapshots\": []\n    }";
  }
  factory2->release();
  json << "\n  ]\n}\n";
  return json.str();
}

}  // namespace vst3moduleinfo
