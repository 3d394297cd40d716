#include "plugin/lv2/Lv2Ttl.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "framework/ByteChunk.h"
#include "framework/IPlugBase.h"
#include "framework/NumberText.h"
#include "framework/PortValue.h"

namespace {
constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi:  <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix param: <http://lv2plug.in/ns/ext/parameters#> .\n"
    "@prefix pg:    <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz:   <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work:  <http://lv2plug.in/ns/ext/worker#> .\n\n";

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string uri(const std::string& text) { return "<" + text + ">"; }

std::string base64(const ByteChunk& chunk) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  const uint8_t* bytes = chunk.GetBytes();
  for (int i = 0; i < chunk.Size(); i += 3) {
    const int left = chunk.Size() - i;
    const uint32_t word = uint32_t(bytes[i]) << 16 | (left > 1 ? uint32_t(bytes[i + 1]) << 8 : 0) |
                          (left > 2 ? bytes[i + 2] : 0);
    out += kDigits[(word >> 18) & 63];
    out += kDigits[(word >> 12) & 63];
    out += left > 1 ? kDigits[(word >> 6) & 63] : '=';
    out += left > 2 ? kDigits[word & 63] : '=';
  }
  return out;
}

std::string groupUri(const Lv2Description& description, const char* group) {
  return uri(std::string(description.pluginUri) + "#" + group);
}

void writeGroups(std::ostringstream& out, const Lv2Description& description) {
  std::string written;
  for (const Lv2AudioPort& port : description.audioPorts) {
    if (written.find(std::string("|") + port.group + "|") != std::string::npos) continue;
    written += std::string("|") + port.group + "|";
    out << groupUri(description, port.group) << "\n    a "
        << (port.input ? "pg:InputGroup" : "pg:OutputGroup")
        << " , pg:StereoGroup ;\n    lv2:symbol " << quoted(port.group) << " ;\n    rdfs:label "
        << quoted(std::string(1, char(std::toupper(port.group[0]))) + (port.group + 1)) << " .\n\n";
  }
}

const char* mainGroup(const Lv2Description& description, bool input) {
  for (const Lv2AudioPort& port : description.audioPorts)
    if (port.input == input && !port.sideChain) return port.group;
  return nullptr;
}

void writeAudioPort(std::ostringstream& out, const Lv2Description& description, uint32_t index) {
  const Lv2AudioPort& port = description.audioPorts[index];
  out << "    a lv2:AudioPort , " << (port.input ? "lv2:InputPort" : "lv2:OutputPort") << " ;\n"
      << "    lv2:index " << index << " ;\n    lv2:symbol " << quoted(port.symbol) << " ;\n"
      << "    lv2:name " << quoted(port.name) << " ;\n"
      << "    pg:group " << groupUri(description, port.group) << " ;\n"
      << "    lv2:designation pg:" << port.designation;
  if (port.sideChain) {
    out << " ;\n    lv2:portProperty lv2:isSideChain , lv2:connectionOptional ;\n"
        << "    pg:sideChainOf " << groupUri(description, mainGroup(description, true));
  }
  out << "\n";
}

void writeParamPort(std::ostringstream& out, const Lv2Description& description,
                    const IPlugBase& plug, int index) {
  const IParam& param = *plug.GetParam(index);
  const Lv2ParamPort& port = description.paramPorts[static_cast<size_t>(index)];
  out << "    a lv2:InputPort , lv2:ControlPort ;\n"
      << "    lv2:index " << description.firstParamPort() + static_cast<uint32_t>(index) << " ;\n"
      << "    lv2:symbol " << quoted(port.symbol) << " ;\n"
      << "    lv2:name " << quoted(param.GetNameForHost()) << " ;\n"
      << "    lv2:default " << Lv2Ttl::number(portvalue::Default(param)) << " ;\n"
      << "    lv2:minimum " << Lv2Ttl::number(portvalue::Minimum(param)) << " ;\n"
      << "    lv2:maximum " << Lv2Ttl::number(portvalue::Maximum(param));
  // A switch shows as a toggle, a list as a menu of its texts, another stepped value
  // as whole numbers.
  if (param.Type() == IParam::kTypeBool)
    out << " ;\n    lv2:portProperty lv2:toggled";
  else if (param.IsChoice())
    out << " ;\n    lv2:portProperty lv2:integer , lv2:enumeration";
  else if (param.IsStepped())
    out << " ;\n    lv2:portProperty lv2:integer";
  else if (param.GetShape() >= 4.0 && param.GetMin() > 0.0 && !portvalue::InDecibels(param))
    out << " ;\n    lv2:portProperty pprops:logarithmic";
  const char* unit = portvalue::InDecibels(param) ? "db" : port.unit;
  if (unit) out << " ;\n    units:unit units:" << unit;
  if (param.IsChoice() && param.Type() != IParam::kTypeBool) {
    out << " ;\n    lv2:scalePoint";
    for (int i = 0; i < param.GetNDisplayTexts(); ++i) {
      int value = 0;
      const char* text = param.GetDisplayTextAtIdx(i, &value);
      out << (i ? " ,\n        " : " ") << "[ rdfs:label " << quoted(text) << " ; rdf:value "
          << value << " ]";
    }
  }
  out << "\n";
}
}  // namespace

namespace Lv2Ttl {

std::string number(double value) {
  const float wanted = static_cast<float>(value);
  std::string result;
  double read = 0.0;
  for (int digits = 6; digits <= 9; ++digits) {
    result = numbertext::General(static_cast<double>(wanted), digits);
    if (numbertext::Read(result, &read) && static_cast<float>(read) == wanted) break;
  }
  if (result.find_first_of(".eEn") == std::string::npos) result += ".0";
  return result;
}

std::string presetUri(const Lv2Description& description, int number) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "#preset%02d", number);
  return std::string(description.pluginUri) + suffix;
}

std::string manifest(const Lv2Description& description, const IPlugBase& plug) {
  std::ostringstream out;
  out << kPrefixes;
  out << uri(description.pluginUri) << "\n    a lv2:Plugin , lv2:" << description.pluginClass
      << " ;\n"
      << "    lv2:binary " << uri(description.dspBinary) << " ;\n"
      << "    rdfs:seeAlso " << uri(description.ttlFile) << " .\n\n";
  out << uri(description.uiUri) << "\n    a ui:X11UI ;\n    ui:binary " << uri(description.uiBinary)
      << " ;\n    rdfs:seeAlso " << uri(description.ttlFile) << " .\n\n";
  for (int i = 0; i < plug.NPresets(); ++i)
    out << uri(presetUri(description, i + 1)) << "\n    a pset:Preset ;\n    lv2:appliesTo "
        << uri(description.pluginUri) << " ;\n    rdfs:seeAlso " << uri(description.presetsFile)
        << " .\n\n";
  return out.str();
}

std::string plugin(const Lv2Description& description, const IPlugBase& plug) {
  std::ostringstream out;
  out << kPrefixes;
  writeGroups(out, description);
  const std::string project = uri(std::string(description.pluginUri) + "#project");
  out << project << "\n    a doap:Project ;\n    doap:name " << quoted(plug.GetEffectName())
      << " ;\n    doap:maintainer [ a foaf:Organization ; foaf:name " << quoted(plug.GetMfrName())
      << " ] .\n\n";
  out << uri(description.pluginUri) << "\n    a lv2:Plugin , lv2:" << description.pluginClass
      << " ;\n"
      << "    doap:name " << quoted(plug.GetEffectName()) << " ;\n"
      << "    lv2:project " << project << " ;\n"
      << "    lv2:minorVersion " << ((plug.GetEffectVersion(false) >> 8) & 0xFF) * 2 << " ;\n"
      << "    lv2:microVersion " << (plug.GetEffectVersion(false) & 0xFF) << " ;\n"
      << "    lv2:requiredFeature urid:map ;\n"
      << "    lv2:optionalFeature lv2:hardRTCapable , work:schedule , opts:options , state:mapPath "
         ","
         " state:freePath ;\n"
      << "    lv2:extensionData state:interface , work:interface ;\n"
      << "    opts:supportedOption bufsz:maxBlockLength , bufsz:nominalBlockLength ;\n";
  if (const char* group = mainGroup(description, true))
    out << "    pg:mainInput " << groupUri(description, group) << " ;\n";
  if (const char* group = mainGroup(description, false))
    out << "    pg:mainOutput " << groupUri(description, group) << " ;\n";
  out << "    ui:ui " << uri(description.uiUri) << " ;\n    lv2:port [\n";
  for (uint32_t p = 0; p < description.audioPortCount(); ++p) {
    writeAudioPort(out, description, p);
    out << "    ] , [\n";
  }
  out << "    a lv2:InputPort , atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
      << "    atom:supports midi:MidiEvent , atom:Object ;\n    lv2:designation lv2:control ;\n"
      << "    rsz:minimumSize " << kLv2AtomPortMinimumSize << " ;\n"
      << "    lv2:index " << description.controlInPort() << " ;\n    lv2:symbol \"control\" ;\n"
      << "    lv2:name \"MIDI and editor input\"\n    ] , [\n"
      << "    a lv2:OutputPort , atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
      << "    atom:supports midi:MidiEvent , atom:Object ;\n"
      << "    rsz:minimumSize " << kLv2AtomPortMinimumSize << " ;\n"
      << "    lv2:index " << description.notifyPort() << " ;\n    lv2:symbol \"notify\" ;\n"
      << "    lv2:name \"MIDI thru and editor output\"\n    ] , [\n"
      << "    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " << description.enabledPort()
      << " ;\n"
      << "    lv2:symbol \"enabled\" ;\n    lv2:name \"Enabled\" ;\n    lv2:designation "
         "lv2:enabled ;\n"
      << "    lv2:default 1 ;\n    lv2:minimum 0 ;\n    lv2:maximum 1 ;\n    lv2:portProperty "
         "lv2:toggled\n"
      << "    ] , [\n"
      << "    a lv2:OutputPort , lv2:ControlPort ;\n    lv2:index " << description.latencyPort()
      << " ;\n"
      << "    lv2:symbol \"latency\" ;\n    lv2:name \"Latency\" ;\n    lv2:designation "
         "lv2:latency ;\n"
      << "    lv2:portProperty lv2:reportsLatency , lv2:integer ;\n"
      << "    lv2:minimum 0 ;\n    lv2:maximum 192000 ;\n    units:unit units:frame\n";
  for (int i = 0; i < plug.NParams(); ++i) {
    out << "    ] , [\n";
    writeParamPort(out, description, plug, i);
  }
  out << "    ] .\n\n";
  // The keys of the plug-in's state (presets hold the program's, sessions the rest).
  const struct {
    const char *name, *label, *range;
  } keys[] = {{"bank", "bank chunk", "atom:Chunk"},
              {"program", "program chunk", "atom:Chunk"},
              {"currentProgram", "current program", "atom:Int"},
              {"sampleFile", "sample file", "atom:Path"},
              {"ports", "port values last applied", "atom:Vector"},
              {"portValues", "plain values last applied (older builds)", "atom:Vector"}};
  for (const auto& key : keys)
    out << uri(std::string(description.pluginUri) + "#" + key.name) << "\n    a rdf:Property ;\n"
        << "    rdfs:label " << quoted(key.label) << " ;\n    rdfs:range " << key.range << " .\n\n";
  out << uri(description.uiUri)
      << "\n    a ui:X11UI ;\n    lv2:requiredFeature urid:map , ui:idleInterface ;\n"
      << "    lv2:optionalFeature ui:parent , ui:touch , opts:options ;\n"
      << "    opts:supportedOption ui:scaleFactor ;\n"
      << "    lv2:extensionData ui:idleInterface , ui:showInterface ;\n"
      << "    ui:portNotification [\n        ui:plugin " << uri(description.pluginUri) << " ;\n"
      << "        lv2:symbol \"notify\" ;\n        ui:protocol atom:eventTransfer\n    ] .\n";
  return out.str();
}

std::string presets(const Lv2Description& description, IPlugBase& plug) {
  std::ostringstream out;
  out << kPrefixes;
  for (int i = 0; i < plug.NPresets(); ++i) {
    plug.RestorePreset(i);
    // The program's state too, so that a host restoring the preset restores the
    // program to the bit (the port values are floats) and selects it.
    ByteChunk program;
    plug.serializeProgramChunk(&program);
    out << uri(presetUri(description, i + 1)) << "\n    a pset:Preset ;\n    lv2:appliesTo "
        << uri(description.pluginUri) << " ;\n    rdfs:label " << quoted(plug.GetPresetName(i))
        << " ;\n    state:state [\n        " << uri(std::string(description.pluginUri) + "#program")
        << " \"" << base64(program)
        << "\"^^<http://www.w3.org/2001/XMLSchema#base64Binary> ;\n        "
        << uri(std::string(description.pluginUri) + "#currentProgram") << " \"" << i
        << "\"^^<http://www.w3.org/2001/XMLSchema#int>\n    ] ;\n    lv2:port ";
    for (int p = 0; p < plug.NParams(); ++p)
      out << (p ? " , " : "") << "[\n        lv2:symbol "
          << quoted(description.paramPorts[static_cast<size_t>(p)].symbol)
          << " ;\n        pset:value "
          << number(portvalue::FromPlain(*plug.GetParam(p), plug.GetParam(p)->Value()))
          << "\n    ]";
    out << " .\n\n";
  }
  return out.str();
}

bool writeBundle(const std::string& folder, const Lv2Description& description, IPlugBase& plug) {
  const struct {
    std::string name, text;
  } files[] = {{"manifest.ttl", manifest(description, plug)},
               {description.ttlFile, plugin(description, plug)},
               {description.presetsFile, presets(description, plug)}};
  for (const auto& file : files) {
    std::ofstream stream(folder + "/" + file.name, std::ios::binary | std::ios::trunc);
    stream << file.text;
    if (!stream.good()) return false;
  }
  return true;
}
}  // namespace Lv2Ttl
