#include "framework/PortValue.h"

#include <cmath>

#include "framework/IParam.h"

namespace portvalue {

bool InDecibels(const IParam& param) { return param.IsGain(); }

// dB = 20 log10(gain), held at the floor below it.
double FromPlain(const IParam& param, double plain) {
  if (!InDecibels(param)) return plain;
  if (!(plain > 0.0)) return kGainFloorDb;
  return std::fmax(20.0 * std::log10(plain), kGainFloorDb);
}

// A port at the float image of either end of its range stands for that end exactly.
double ToPlain(const IParam& param, double port) {
  if (std::isnan(port) || !InDecibels(param)) return param.Constrain(port);
  for (const double end : {param.GetMin(), param.GetMax()})
    if (static_cast<float>(port) == static_cast<float>(FromPlain(param, end))) return end;
  return param.Constrain(port <= kGainFloorDb ? 0.0 : std::pow(10.0, port / 20.0));
}

double Minimum(const IParam& param) { return FromPlain(param, param.GetMin()); }
double Maximum(const IParam& param) { return FromPlain(param, param.GetMax()); }
double Default(const IParam& param) { return FromPlain(param, param.GetDefault()); }

}  // namespace portvalue
