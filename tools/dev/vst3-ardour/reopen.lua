-- Run by ardour7-lua (tools/dev/vst3-ardour/check.sh) on the session session.lua saved:
-- prints the values ZORQ has after Ardour restored it, as session.lua printed them.
local folder = arg[1]
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_sample_rate(48000)
assert(load_session(folder, "zorq"), "session does not open")
local track = Session:route_by_name("Voice")
local zorq = track:nth_plugin(1)
assert(not zorq:isnil(), "ZORQ is not on the track")
ARDOUR.LuaAPI.usleep(500000)
local function value(index) return (ARDOUR.LuaAPI.get_processor_param(zorq, index, true)) end
print("reopened: Vocoder Mode", value(0), "In Balance", value(9), "Bias", value(104), "program",
      zorq:to_insert():plugin(0):last_preset().label)
close_session()
