// Writes the seed corpora of the fuzz targets: small valid inputs made by the
// plug-in itself (its chunks, program and bank files, INI file) plus WAV files
// of every accepted format, a MIDI event stream and a MIDI file. Usage: zorq_make_seeds <dir>;
// each target's seeds go into <dir>/<target>/.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "engine/ZORQ.h"
#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "fuzz/FuzzSupport.h"
#include "raster/LICE.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string root;

void writeSeed(const std::string& target, const std::string& name, uint8_t lead, const Bytes& body,
               bool withLead = true) {
  const std::string folder = root + "/" + target;
  mkdir(folder.c_str(), 0755);
  const std::string path = folder + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    std::perror(path.c_str());
    std::exit(1);
  }
  if (withLead) std::fputc(lead, file);
  std::fwrite(body.data(), 1, body.size(), file);
  std::fclose(file);
}

Bytes bytesOf(const ByteChunk& chunk) {
  return Bytes(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

Bytes fileBytes(const std::string& path) {
  ByteChunk chunk;
  if (!readWholeFile(path, &chunk)) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(1);
  }
  return bytesOf(chunk);
}

Bytes chunkFromHost(fuzz::FuzzPlugin& plugin, VstInt32 index) {
  void* data = nullptr;
  const VstIntPtr size = plugin.dispatch(effGetChunk, index, 0, &data);
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return Bytes(bytes, bytes + size);
}

void chunkSeeds(fuzz::FuzzPlugin& plugin) {
  const Bytes bank = chunkFromHost(plugin, 0);
  const Bytes program = chunkFromHost(plugin, 1);
  writeSeed("chunk", "bank-ordinary-host", 0x00, bank);
  writeSeed("chunk", "program-ordinary-host", 0x02, program);
  writeSeed("chunk", "program-chunks-only-host", 0x01, program);
  writeSeed("chunk", "bank-to-chunks-only-host", 0x01, bank);
  writeSeed("chunk", "program-double-precision", 0x06, program);
}

void programFileSeeds(fuzz::FuzzPlugin& plugin) {
  ZORQ& plug = plugin.plug();
  const std::string fxp = fuzz::scratchFolder() + "/seed.fxp";
  const std::string fxb = fuzz::scratchFolder() + "/seed.fxb";
  plug.SaveProgramAsFXP(fxp);
  plug.SaveBankAsFXB(fxb);
  writeSeed("program_files", "program-chunk-form", 0, fileBytes(fxp));
  writeSeed("program_files", "bank-chunk-form", 1, fileBytes(fxb));
  writeSeed("program_files", "bank-blob", 2, fileBytes(fxb));

  // Parameter forms, which the plug-in reads but does not write.
  const fx::Identity id{Synth::kUniqueID, plug.GetEffectVersion(true)};
  std::vector<float> values;
  for (int i = 0; i < plug.NParams(); ++i)
    values.push_back(static_cast<float>(plug.GetParam(i)->GetNormalized()));
  ByteChunk programParams;
  fx::putProgramParamForm(&programParams, id, "Params", values.data(), plug.NParams());
  writeSeed("program_files", "program-param-form", 0, bytesOf(programParams));
  ByteChunk bankParams;
  constexpr int kPrograms = 3;
  fx::putBankHeader(&bankParams, 0, fx::kBankParamsType, id, kPrograms, 1);
  for (int p = 0; p < kPrograms; ++p)
    fx::putProgramParamForm(&bankParams, id, "Bank entry", values.data(), plug.NParams());
  writeSeed("program_files", "bank-param-form", 1, bytesOf(bankParams));
}

// ---- WAV files ---------------------------------------------------------------

void putU16(Bytes* out, unsigned value) {
  out->push_back(value & 0xFF);
  out->push_back((value >> 8) & 0xFF);
}

void putU32(Bytes* out, uint32_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, value >> 16);
}

void putTag(Bytes* out, const char* tag) { out->insert(out->end(), tag, tag + 4); }

struct WaveShape {
  const char* name;
  unsigned formatTag;  // 1 integer, 3 float, 0xFFFE extensible (integer sub-format)
  unsigned channels;
  unsigned rate;
  unsigned bits;
  unsigned frames;
  bool extraChunk;  // an odd-sized chunk before the data, padded as RIFF requires
};

void putSample(Bytes* out, const WaveShape& shape, double value) {
  if (shape.formatTag == 3) {
    if (shape.bits == 32) {
      const float f = static_cast<float>(value);
      const uint8_t* p = reinterpret_cast<const uint8_t*>(&f);
      out->insert(out->end(), p, p + sizeof f);
    } else {
      const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
      out->insert(out->end(), p, p + sizeof value);
    }
    return;
  }
  if (shape.bits == 8) {
    out->push_back(static_cast<uint8_t>(128 + static_cast<int>(value * 127.0)));
    return;
  }
  const int64_t scaled = static_cast<int64_t>(value * ((int64_t{1} << (shape.bits - 1)) - 1));
  for (unsigned b = 0; b < shape.bits / 8; ++b) out->push_back((scaled >> (8 * b)) & 0xFF);
}

Bytes makeWave(const WaveShape& shape) {
  Bytes format;
  const unsigned blockAlign = shape.channels * shape.bits / 8;
  putU16(&format, shape.formatTag);
  putU16(&format, shape.channels);
  putU32(&format, shape.rate);
  putU32(&format, shape.rate * blockAlign);
  putU16(&format, blockAlign);
  putU16(&format, shape.bits);
  if (shape.formatTag == 0xFFFE) {
    static const uint8_t kIntegerSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                  0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    putU16(&format, 22);
    putU16(&format, shape.bits);
    putU32(&format, shape.channels == 2 ? 3 : 4);
    format.insert(format.end(), kIntegerSubFormat, kIntegerSubFormat + 16);
  }
  Bytes samples;
  for (unsigned i = 0; i < shape.frames; ++i)
    for (unsigned c = 0; c < shape.channels; ++c)
      putSample(&samples, shape, 0.8 * ((i * (c + 3)) % 50) / 50.0 - 0.4);

  Bytes body;
  putTag(&body, "WAVE");
  putTag(&body, "fmt ");
  putU32(&body, static_cast<uint32_t>(format.size()));
  body.insert(body.end(), format.begin(), format.end());
  if (shape.extraChunk) {
    putTag(&body, "LIST");
    putU32(&body, 5);
    putTag(&body, "INFO");
    body.push_back('x');
    body.push_back(0);  // pad byte
  }
  putTag(&body, "data");
  putU32(&body, static_cast<uint32_t>(samples.size()));
  body.insert(body.end(), samples.begin(), samples.end());

  Bytes file;
  putTag(&file, "RIFF");
  putU32(&file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

void waveSeeds() {
  const WaveShape shapes[] = {
      {"pcm8-mono-22050", 1, 1, 22050, 8, 120, false},
      {"pcm16-stereo-44100", 1, 2, 44100, 16, 150, true},
      {"pcm24-mono-48000", 1, 1, 48000, 24, 100, false},
      {"pcm32-stereo-96000", 1, 2, 96000, 32, 100, false},
      {"float32-stereo-44100", 3, 2, 44100, 32, 90, false},
      {"float64-mono-8000", 3, 1, 8000, 64, 60, true},
      {"extensible16-stereo-44100", 0xFFFE, 2, 44100, 16, 80, false},
      {"pcm16-three-channels-32000", 1, 3, 32000, 16, 70, false},
  };
  uint8_t control = 0;
  for (const WaveShape& shape : shapes) {
    writeSeed("wav", shape.name, control, makeWave(shape));
    control = static_cast<uint8_t>(control + 0x29);  // walks rates, sub-blocks and arrays
  }
}

// ---- INI files ---------------------------------------------------------------

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

void iniSeeds(fuzz::FuzzPlugin& plugin) {
  Configuration& config = plugin.plug().configuration();
  config.setMidiThru(true);
  config.setControllerParameter(1, 4);
  config.setControllerParameter(74, 30);
  config.storeDefaultWAVPath("/home/user/Samples");
  config.storeProgramPath("/home/user/Programs");
  config.setStartupFxb("/home/user/Programs/startup.fxb");
  config.saveConfig(Configuration::kSaveEverything);
  writeSeed("ini", "plugin-configuration", 0, fileBytes(config.iniPath()), false);

  writeSeed("ini", "quotes-blanks-repeats", 0,
            textBytes("; comment\r\n[Global]\r\n  Path = \"quoted value\" \r\n"
                      "key='single'\n[global]\nKEY=again\n\n[Empty]\n[]\nnokey\n=novalue\n"
                      "[Unclosed\nx=1\n"),
            false);
  writeSeed("ini", "explicit-lookups", 0,
            textBytes(std::string("[A]\nb=c\n[MIDI]\nMIDI Thru=1\n") + '\0' +
                      "A\nb\nmidi\nmidi thru\nmissing\nkey"),
            false);
}

// ---- MIDI event stream ---------------------------------------------------------

struct StreamWriter {
  Bytes bytes;
  void u8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void i32(int32_t v) { putU32(&bytes, static_cast<uint32_t>(v)); }
  // A block record: `events` events, block-size choice 0..7.
  void block(unsigned events, unsigned sizeChoice) { u8(events | (sizeChoice << 5)); }
  void midi(int32_t offset, unsigned status, unsigned data1, unsigned data2) {
    u8(0);
    i32(offset);
    i32(sizeof(VstMidiEvent));
    u8(status);
    u8(data1);
    u8(data2);
  }
  void sysex(int32_t offset, const Bytes& dump) {
    u8(7);
    i32(offset);
    i32(sizeof(VstMidiSysexEvent));
    putU16(&bytes, static_cast<unsigned>(dump.size()));
    bytes.insert(bytes.end(), dump.begin(), dump.end());
  }
};

void midiSeeds() {
  StreamWriter chords;
  chords.u8(0);  // float, 44100 Hz
  chords.block(3, 3);
  chords.midi(0, 0x90, 60, 100);
  chords.midi(10, 0x90, 64, 90);
  chords.midi(40, 0x90, 67, 80);
  chords.block(2, 2);
  chords.midi(3, 0xE0, 0x00, 0x50);
  chords.midi(5, 0xB0, 64, 127);
  chords.block(3, 4);
  chords.midi(0, 0x80, 60, 0);
  chords.midi(50, 0x90, 64, 0);
  chords.midi(98, 0xB0, 64, 0);
  chords.block(0, 1);
  chords.block(1, 6);
  chords.midi(200, 0xB0, 123, 0);
  writeSeed("midi", "chords-pedal-wheel", 0, chords.bytes, false);

  StreamWriter mixed;
  mixed.u8(0x03);  // double, 48000 Hz
  mixed.block(4, 5);
  mixed.midi(0, 0xC0, 5, 0);
  mixed.midi(1, 0x91, 72, 127);
  mixed.sysex(2, Bytes{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7});
  mixed.midi(7, 0xB0, 1, 64);
  mixed.block(2, 0);
  mixed.midi(0, 0xD0, 30, 0);
  mixed.midi(0, 0xA0, 72, 30);
  mixed.block(2, 3);
  mixed.midi(-5, 0xB0, 120, 0);
  mixed.midi(1000, 0x81, 72, 0);
  writeSeed("midi", "program-sysex-aftertouch", 0, mixed.bytes, false);
}

// Pictures as LICE_WritePNG writes them: one of the skin size the target checks, one not.
void pngSeeds() {
  for (const auto& [name, width, height] :
       {std::tuple{"skin-size-16x32", 16, 32}, std::tuple{"other-size-3x5", 3, 5}}) {
    LICE_MemBitmap picture(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        LICE_RowPointer(&picture, y)[x] = LICE_PackPixel(uint8_t(40 * y), uint8_t(9 * x), 7, 200);
    const std::string path = fuzz::scratchFolder() + "/seed.png";
    LICE_WritePNG(path.c_str(), &picture);
    writeSeed("png", name, 0, fileBytes(path), false);
  }
}

// zorq-render's MIDI files: the demo's chords (two tracks, a tempo map, the pedal).
void midiFileSeeds() {
  writeSeed("midi_file", "demo-chords", 0, fileBytes(ZORQ_SOURCE_DIR "/demo/chords.mid"), false);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
    return 2;
  }
  root = argv[1];
  mkdir(root.c_str(), 0755);
  {
    fuzz::FuzzPlugin plugin;
    plugin.start(44100.0f, 64);
    chunkSeeds(plugin);
    programFileSeeds(plugin);
    iniSeeds(plugin);
  }
  waveSeeds();
  midiSeeds();
  pngSeeds();
  midiFileSeeds();
  return 0;
}
