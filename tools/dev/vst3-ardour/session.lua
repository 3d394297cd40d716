-- Run by ardour7-lua (tools/dev/vst3-ardour/check.sh): a session at 48 kHz on the dummy
-- backend with one mono audio track: Ardour's own noise generator as the voice, then
-- ZORQ's VST 3 build with its second factory program chosen from Ardour's preset list,
-- "In Balance" all noise (the carrier without notes) and "Bias" moved; saved for
-- ardour7-export and reopen.lua. Prints what Ardour found.
local folder = arg[1]
local uid = "D73CBADA3426628507E5950EA0A3D407"
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_sample_rate(48000)
assert(create_session(folder, "zorq", 48000), "no session")
local track = Session:new_audio_track(1, 2, nil, 1, "Voice", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true):front()
local noise = ARDOUR.LuaAPI.new_luaproc(Session, "ACE Noise")
assert(not noise:isnil(), "no noise source")
track:add_processor_by_index(noise, 0, nil, true)
local zorq = ARDOUR.LuaAPI.new_plugin(Session, uid, ARDOUR.PluginType.VST3, "")
assert(not zorq:isnil(), "ZORQ not found")
track:add_processor_by_index(zorq, 1, nil, true)
local plugin = zorq:to_insert():plugin(0)
print("plug-in:", plugin:name(), "parameters:", plugin:parameter_count())
local programs = 0
for i = 0, 63 do
  local preset = plugin:preset_by_uri(string.format("VST3-P:%s:%04d", uid, i))
  if preset and preset.valid then programs = programs + 1 end
end
print("factory programs:", programs)
local preset = plugin:preset_by_uri("VST3-P:" .. uid .. ":0001")
assert(preset and preset.valid, "no second program")
print("program chosen:", preset.label, plugin:load_preset(preset))
ARDOUR.LuaAPI.usleep(200000)  -- the engine runs: the plug-in changes its program
-- Parameters counted from 0 in the plug-in's order: "Vocoder Mode" is 0 ("Full Bands" in
-- the program chosen), "In Balance" 9, "Bias" 104.
ARDOUR.LuaAPI.set_processor_param(zorq, 9, 1.0)
ARDOUR.LuaAPI.set_processor_param(zorq, 104, 0.3)
ARDOUR.LuaAPI.usleep(500000)  -- the engine runs: the plug-in takes the values
local function value(index) return (ARDOUR.LuaAPI.get_processor_param(zorq, index, true)) end
print("saved: Vocoder Mode", value(0), "In Balance", value(9), "Bias", value(104), "program",
      zorq:to_insert():plugin(0):last_preset().label)
Session:save_state("", false, false, false, false, false)
close_session()
