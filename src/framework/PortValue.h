#pragma once

// Values as hosts that exchange plain numbers show them (LV2 control ports, their
// generic controls and automation lanes): the plain value itself, except for a gain
// (IParam::IsGain), which is shown in decibels. The port's minimum, kGainFloorDb,
// stands for silence (the editor's "-oo"). Reading a port value back lands on what the
// parameter can hold (IParam::Constrain). Any thread; reads only the parameter.
class IParam;

namespace portvalue {

constexpr double kGainFloorDb = -90.0;

bool InDecibels(const IParam& param);
// The port value for plain `plain`.
double FromPlain(const IParam& param, double plain);
// The plain value for port value `port`; NaN stays NaN.
double ToPlain(const IParam& param, double port);
double Minimum(const IParam& param);
double Maximum(const IParam& param);
double Default(const IParam& param);

}  // namespace portvalue
