#include "hosting/PresetFile.h"

#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "hosting/PluginHost.h"
#include "hosting/HostError.h"

namespace {

std::string idText(uint32_t id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = char((id >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

ByteChunk chunkOfBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > size_t(kMaxFileBytes)) throw HostError("preset file is too large");
  ByteChunk chunk;
  if (!bytes.empty()) chunk.PutBytes(bytes.data(), int(bytes.size()));
  return chunk;
}

// The state chunk that follows its big-endian size at pos.
std::vector<uint8_t> embeddedChunk(const ByteChunk& file, int pos) {
  int32_t size = 0;
  pos = fx::getBigEndian(file, &size, pos);
  if (pos < 0 || size < 0 || !file.Fits(pos, size)) throw HostError("preset file is truncated");
  const uint8_t* start = file.GetBytes() + pos;
  return std::vector<uint8_t>(start, start + size);
}

void setChunk(PluginHost& host, const ByteChunk& file, int sizePos, bool bank) {
  if (!host.hasProgramChunks()) throw HostError("the plug-in does not take preset chunks");
  if (!host.setChunk(bank, embeddedChunk(file, sizePos)))
    throw HostError("the plug-in rejected the preset data");
}

// One parameter-form program record at pos; returns the position after it.
int applyParameterProgram(PluginHost& host, const ByteChunk& file, int pos) {
  const fx::ProgramHeader header = fx::readProgramHeader(file, pos);
  if (header.pos < 0) throw HostError("preset file is truncated");
  if (header.magic != fx::kMagic || header.type != fx::kProgramParamsType)
    throw HostError("preset file holds a damaged program record");
  if (header.numParams < 0 || !file.Fits(header.pos, int64_t(header.numParams) * 4))
    throw HostError("preset file is truncated");
  pos = header.pos;
  for (int32_t i = 0; i < header.numParams; ++i) {
    float value = 0.0f;
    pos = fx::getBigEndianFloat(file, &value, pos);
    if (i < host.numParams() && value >= 0.0f && value <= 1.0f) host.setParameter(int(i), value);
  }
  host.setProgramName(header.name);
  return pos;
}

}  // namespace

std::vector<uint8_t> PresetFile::readFile(const std::string& path) {
  ByteChunk file;
  if (!readWholeFile(path, &file))
    throw HostError("cannot read preset file '" + path + "' (missing, unreadable or too large)");
  return std::vector<uint8_t>(file.GetBytes(), file.GetBytes() + file.Size());
}

PresetFile::Kind PresetFile::kindOf(const std::vector<uint8_t>& bytes) {
  const fx::ProgramHeader header = fx::readProgramHeader(chunkOfBytes(bytes), 0);
  if (header.pos < 0 || header.magic != fx::kMagic)
    throw HostError("not a VST program or bank file");
  if (header.type == fx::kProgramChunkType || header.type == fx::kProgramParamsType)
    return Kind::kProgram;
  if (header.type == fx::kBankChunkType || header.type == fx::kBankParamsType) return Kind::kBank;
  const uint32_t type = uint32_t(header.type);
  throw HostError("unknown preset type '" + idText(type) + "'");
}

void PresetFile::load(PluginHost& host, const std::vector<uint8_t>& bytes) {
  const ByteChunk file = chunkOfBytes(bytes);
  kindOf(bytes);
  const fx::ProgramHeader program = fx::readProgramHeader(file, 0);
  const uint32_t id = uint32_t(program.uniqueId);
  if (id != uint32_t(host.uniqueId()))
    throw HostError("preset is for plug-in id '" + idText(id) + "', this plug-in is '" +
                    idText(uint32_t(host.uniqueId())) + "'");

  if (program.type == fx::kProgramChunkType) {
    setChunk(host, file, fx::kProgramHeaderBytes, false);
    host.setProgramName(program.name);
  } else if (program.type == fx::kProgramParamsType) {
    applyParameterProgram(host, file, 0);
  } else {
    const fx::BankHeader bank = fx::readBankHeader(file);
    if (bank.pos < 0) throw HostError("preset file is truncated");
    if (bank.type == fx::kBankChunkType) {
      setChunk(host, file, fx::kBankHeaderBytes, true);
      return;
    }
    int pos = bank.pos;
    for (int32_t i = 0; i < bank.numPrograms && i < host.numPrograms(); ++i) {
      host.setProgram(int(i));
      pos = applyParameterProgram(host, file, pos);
    }
    if (bank.currentProgram >= 0 && bank.currentProgram < host.numPrograms())
      host.setProgram(int(bank.currentProgram));
  }
}

namespace {

fx::Identity identityOf(PluginHost& host) { return {host.uniqueId(), host.version()}; }

// The plug-in's program or bank chunk.
ByteChunk chunkOf(PluginHost& host, bool bank) {
  const std::vector<uint8_t> data = host.chunk(bank);
  if (data.empty() || data.size() > size_t(kMaxFileBytes))
    throw HostError(std::string("the plug-in gave no ") + (bank ? "bank" : "program") + " data");
  ByteChunk chunk;
  chunk.PutBytes(data.data(), int(data.size()));
  return chunk;
}

std::vector<float> normalisedValues(PluginHost& host) {
  std::vector<float> values(size_t(host.numParams()));
  for (int i = 0; i < host.numParams(); ++i) values[size_t(i)] = host.getParameter(i);
  return values;
}

void writeFile(const std::string& path, const ByteChunk& file) {
  if (!writeFileAtomically(path, file)) throw HostError("cannot write preset file '" + path + "'");
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
    file =
        fx::bankFileChunkForm(identityOf(host), host.numPrograms(), current, chunkOf(host, true));
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
