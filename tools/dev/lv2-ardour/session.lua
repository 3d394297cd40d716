-- Run by ardour7-lua (tools/dev/lv2-ardour/check.sh): a session at 48 kHz on the dummy
-- backend with one audio track: Ardour's own noise generator as the voice, then ZORQ
-- with its first preset applied and "Out Balance" at one half (the dry voice passes
-- without notes); saved for ardour7-export. Prints what Ardour found.
local folder = arg[1]
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_sample_rate(48000)
assert(create_session(folder, "zorq", 48000), "no session")
local track = Session:new_audio_track(1, 2, nil, 1, "Voice", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true):front()
local noise = ARDOUR.LuaAPI.new_luaproc(Session, "ACE Noise")
assert(not noise:isnil(), "no noise source")
track:add_processor_by_index(noise, 0, nil, true)
local zorq = ARDOUR.LuaAPI.new_plugin(Session, "urn:zandervoltmusic:zorq", ARDOUR.PluginType.LV2, "")
assert(not zorq:isnil(), "ZORQ not found")
track:add_processor_by_index(zorq, 1, nil, true)
local plugin = zorq:to_insert():plugin(0)
print("plug-in:", plugin:name(), "ports:", plugin:parameter_count())
local presets = 0
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if info.unique_id == "urn:zandervoltmusic:zorq" then
    for _ in info:get_presets():iter() do presets = presets + 1 end
  end
end
print("presets:", presets)
local preset = plugin:preset_by_label(plugin:preset_by_uri("urn:zandervoltmusic:zorq#preset01").label)
assert(preset and preset.valid, "no first preset")
print("preset applied:", preset.label, plugin:load_preset(preset))
-- Control inputs counted from 0: enabled, the four switches, "Final Volume", then
-- "Out Balance" (Ardour numbers the latency output among them too).
ARDOUR.LuaAPI.set_processor_param(zorq, 7, 0.5)
ARDOUR.LuaAPI.usleep(500000)  -- the engine runs: the plug-in takes the value
print("Out Balance:", (ARDOUR.LuaAPI.get_processor_param(zorq, 7, true)))
Session:save_state("", false, false, false, false, false)
close_session()
