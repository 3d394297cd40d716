#include "framework/Hosts.h"

#include <cctype>
#include <string>

namespace {
struct HostMatch {
  const char* substring;
  EHost host;
};

// Test order matters: earlier entries win ("cubase" before "live", ...).
const HostMatch kHostMatches[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyneStudio},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMPT},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

struct HostName {
  EHost host;
  const char* name;
};

const HostName kHostNames[] = {
    {kHostReaper, "Reaper"},
    {kHostProTools, "ProTools"},
    {kHostCubase, "Cubase"},
    {kHostNuendo, "Nuendo"},
    {kHostSonar, "Sonar"},
    {kHostVegas, "Vegas"},
    {kHostFL, "FLStudio"},
    {kHostSamplitude, "Samplitude"},
    {kHostAbletonLive, "Live"},
    {kHostVSTScanner, "VSTScanner"},
    {kHostAULab, "AULab"},
    {kHostForte, "Forte"},
    {kHostChainer, "Chainer"},
    {kHostAudition, "Audition"},
    {kHostOrion, "Orion"},
    {kHostSAWStudio, "SAWStudio"},
    {kHostLogic, "Logic"},
    {kHostGarageBand, "GarageBand"},
    {kHostDigitalPerformer, "DigitalPerformer"},
    {kHostStandalone, "Standalone"},
    {kHostAudioMulch, "AudioMulch"},
    {kHostStudioOne, "StudioOne"},
    {kHostVST3TestHost, "VST3PluginTestHost"},
    {kHostArdour, "Ardour"},
    {kHostRenoise, "Renoise"},
    {kHostOpenMPT, "OpenMPT"},
};
}  // namespace

EHost LookUpHost(const char* productString) {
  if (!productString) return kHostUnknown;
  std::string lower(productString);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const HostMatch& match : kHostMatches)
    if (lower.find(match.substring) != std::string::npos) return match.host;
  return kHostUnknown;
}

const char* GetHostNameStr(int host) {
  for (const HostName& entry : kHostNames)
    if (entry.host == host) return entry.name;
  return "Unknown";
}
