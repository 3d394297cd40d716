#include "zorq-render/PresetFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "zorq-render/PluginHost.h"
#include "zorq-render/RenderError.h"

// File layout: big-endian 32-bit header fields, four-character magics in reading
// order, parameter values as big-endian IEEE floats.
namespace {

constexpr size_t kProgramNameOffset = 28;
constexpr size_t kProgramNameSize = 28;
constexpr size_t kProgramDataOffset = 56;
constexpr size_t kBankCurrentProgramOffset = 28;
constexpr size_t kBankDataOffset = 156;

class PresetBytes {
 public:
  explicit PresetBytes(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

  size_t size() const { return bytes_.size(); }
  const uint8_t* at(size_t offset, size_t count) const {
    if (offset > bytes_.size() || count > bytes_.size() - offset)
      throw RenderError("preset file is truncated");
    return bytes_.data() + offset;
  }
  std::string magic(size_t offset) const {
    return std::string(reinterpret_cast<const char*>(at(offset, 4)), 4);
  }
  uint32_t u32(size_t offset) const {
    const uint8_t* b = at(offset, 4);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
  }
  float f32(size_t offset) const {
    const uint32_t bits = u32(offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::string name(size_t offset) const {
    const char* text = reinterpret_cast<const char*>(at(offset, kProgramNameSize));
    return std::string(text, strnlen(text, kProgramNameSize));
  }

 private:
  const std::vector<uint8_t>& bytes_;
};

std::string idText(uint32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = char((id >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

void setChunk(PluginHost& host, const PresetBytes& file, size_t sizeOffset, int chunkIndex) {
  if (!host.hasProgramChunks()) throw RenderError("the plug-in does not take preset chunks");
  const uint32_t size = file.u32(sizeOffset);
  const uint8_t* chunk = file.at(sizeOffset + 4, size);
  std::vector<uint8_t> copy(chunk, chunk + size);  // the plug-in may keep or modify it
  if (host.dispatch(effSetChunk, chunkIndex, VstIntPtr(size), copy.data()) == 0)
    throw RenderError("the plug-in rejected the preset data");
}

// One parameter-form program record at offset; returns the offset after it.
size_t applyParameterProgram(PluginHost& host, const PresetBytes& file, size_t offset) {
  if (file.magic(offset) != "CcnK" || file.magic(offset + 8) != "FxCk")
    throw RenderError("preset file holds a damaged program record");
  const uint32_t count = file.u32(offset + 24);
  file.at(offset + kProgramDataOffset, size_t(count) * 4);  // all values present
  for (uint32_t i = 0; i < count && int(i) < host.numParams(); ++i) {
    const float value = file.f32(offset + kProgramDataOffset + 4 * size_t(i));
    if (value >= 0.0f && value <= 1.0f) host.setParameter(int(i), value);
  }
  host.setProgramName(file.name(offset + kProgramNameOffset));
  return offset + kProgramDataOffset + size_t(count) * 4;
}

}  // namespace

std::vector<uint8_t> PresetFile::readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw RenderError("cannot open preset file '" + path + "'");
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

PresetFile::Kind PresetFile::kindOf(const std::vector<uint8_t>& bytes) {
  const PresetBytes file(bytes);
  if (file.size() < kProgramDataOffset || file.magic(0) != "CcnK")
    throw RenderError("not a VST program or bank file");
  const std::string type = file.magic(8);
  if (type == "FPCh" || type == "FxCk") return Kind::kProgram;
  if (type == "FBCh" || type == "FxBk") return Kind::kBank;
  throw RenderError("unknown preset type '" + type + "'");
}

void PresetFile::load(PluginHost& host, const std::vector<uint8_t>& bytes) {
  const PresetBytes file(bytes);
  kindOf(bytes);
  const uint32_t id = file.u32(16);
  if (id != uint32_t(host.effect().uniqueID))
    throw RenderError("preset is for plug-in id '" + idText(id) + "', this plug-in is '" +
                      idText(uint32_t(host.effect().uniqueID)) + "'");

  const std::string type = file.magic(8);
  if (type == "FPCh") {
    setChunk(host, file, kProgramDataOffset, 1);
    host.setProgramName(file.name(kProgramNameOffset));
  } else if (type == "FxCk") {
    applyParameterProgram(host, file, 0);
  } else if (type == "FBCh") {
    setChunk(host, file, kBankDataOffset, 0);
  } else {
    const uint32_t programs = file.u32(24);
    const uint32_t current = file.u32(kBankCurrentProgramOffset);
    size_t offset = kBankDataOffset;
    for (uint32_t i = 0; i < programs && int(i) < host.numPrograms(); ++i) {
      host.setProgram(int(i));
      offset = applyParameterProgram(host, file, offset);
    }
    if (current < uint32_t(host.numPrograms())) host.setProgram(int(current));
  }
}

namespace {

fx::Identity identityOf(PluginHost& host) {
  return {host.effect().uniqueID, host.effect().version};
}

// The plug-in's program (index 1) or bank (index 0) chunk.
ByteChunk chunkOf(PluginHost& host, bool bank) {
  void* data = nullptr;
  const VstIntPtr size = host.dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || size > 0x7FFFFFFF || !data)
    throw RenderError(std::string("the plug-in gave no ") + (bank ? "bank" : "program") + " data");
  ByteChunk chunk;
  chunk.PutBytes(data, int(size));
  return chunk;
}

std::vector<float> normalisedValues(PluginHost& host) {
  std::vector<float> values(size_t(host.numParams()));
  for (int i = 0; i < host.numParams(); ++i) values[size_t(i)] = host.getParameter(i);
  return values;
}

void writeFile(const std::string& path, const ByteChunk& file) {
  if (!writeFileAtomically(path, file)) throw RenderError("cannot write preset file '" + path + "'");
}

}  // namespace

void PresetFile::saveProgram(PluginHost& host, const std::string& path) {
  const std::string name = host.currentProgramName();
  ByteChunk file;
  if (host.hasProgramChunks()) {
    file = fx::programFileChunkForm(identityOf(host), host.numParams(), name.c_str(),
                                    chunkOf(host, false));
  } else {
    const std::vector<float> values = normalisedValues(host);
    fx::putProgramParamForm(&file, identityOf(host), name.c_str(), values.data(), host.numParams());
  }
  writeFile(path, file);
}

void PresetFile::saveBank(PluginHost& host, const std::string& path) {
  const int current = host.currentProgram();
  ByteChunk file;
  if (host.hasProgramChunks()) {
    file = fx::bankFileChunkForm(identityOf(host), host.numPrograms(), current, chunkOf(host, true));
  } else {
    fx::putBankHeader(&file, 0, fx::kBankParamsType, identityOf(host), host.numPrograms(), current);
    for (int program = 0; program < host.numPrograms(); ++program) {
      host.setProgram(program);
      const std::vector<float> values = normalisedValues(host);
      fx::putProgramParamForm(&file, identityOf(host), host.currentProgramName().c_str(),
                              values.data(), host.numParams());
    }
    host.setProgram(current);
  }
  writeFile(path, file);
}
