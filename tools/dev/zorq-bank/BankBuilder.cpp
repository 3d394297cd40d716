#include "zorq-bank/BankBuilder.h"

#include <set>

#include "engine/ZORQ.h"
#include "hosting/ParameterSetter.h"
#include "formats/vst2/IPlugVST.h"
#include "hosting/Vst2PluginHost.h"
#include "hosting/HostError.h"

namespace {

// Every parameter at exactly its default. (The editor's initialise command goes through
// normalised values, which can land a hair beside a default.)
void resetToDefaults(ZORQ& plug) {
  IMutexLock lock(plug.Mutex());
  for (int i = 0; i < plug.NParams(); ++i) plug.GetParam(i)->Set(plug.GetParam(i)->GetDefault());
  plug.OnParamReset();
}

void applySettings(PluginHost& host, const BankProgram& program, const std::string& origin) {
  ParameterSetter setter(host);
  std::set<int> set;
  for (const BankProgram::Setting& setting : program.settings) {
    const std::string where = origin + ":" + std::to_string(setting.line) + ": ";
    try {
      std::string name, value;
      ParameterSetter::splitAssignment(setting.assignment, name, value);
      const int index = setter.findParameter(name);
      if (!set.insert(index).second)
        throw HostError("'" + name + "' is set twice in '" + program.name + "'");
      const float before = host.getParameter(index);
      const std::string shownBefore = host.paramDisplay(index);
      setter.setFromText(index, value);
      if (host.getParameter(index) == before || host.paramDisplay(index) == shownBefore)
        throw HostError("'" + setting.assignment +
                        "' shows as the default: list only values that differ");
    } catch (const HostError& e) {
      throw HostError(where + e.what());
    }
  }
}

}  // namespace

void BankBuilder::build(const std::vector<BankProgram>& programs, const std::string& origin,
                        const std::string& bankPath) {
  ZORQ instrument;
  instrument.EnsureDefaultPreset();
  IPlugVST adapter(&instrument, Vst2PluginHost::callback(), false);
  Vst2PluginHost host(adapter.GetAEffect());
  ZORQ* plug = &instrument;
  if (programs.size() > static_cast<size_t>(host.numPrograms()))
    throw HostError(origin + ": " + std::to_string(programs.size()) +
                    " programs, but the instrument has " + std::to_string(host.numPrograms()));
  for (int i = 0; i < host.numPrograms(); ++i) {
    host.setProgram(i);
    resetToDefaults(*plug);
    const bool listed = static_cast<size_t>(i) < programs.size();
    if (listed) applySettings(host, programs[i], origin);
    host.setProgramName(listed ? programs[i].name : kUnlistedName);
  }
  host.setProgram(0);
  if (!plug->SaveBankAsFXB(bankPath)) throw HostError("cannot write bank file '" + bankPath + "'");
}
