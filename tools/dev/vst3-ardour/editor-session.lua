-- Run by ardour7-lua (tools/dev/vst3-ardour/editor.sh): a session at 48 kHz on the dummy
-- backend with ZORQ's VST 3 build alone on a stereo audio track, for Ardour's window.
local folder = arg[1]
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:set_sample_rate(48000)
assert(create_session(folder, "zorq", 48000), "no session")
local track = Session:new_audio_track(2, 2, nil, 1, "Voice", ARDOUR.PresentationInfo.max_order,
                                      ARDOUR.TrackMode.Normal, true):front()
local zorq = ARDOUR.LuaAPI.new_plugin(Session, "D73CBADA3426628507E5950EA0A3D407",
                                      ARDOUR.PluginType.VST3, "")
assert(not zorq:isnil(), "ZORQ not found")
track:add_processor_by_index(zorq, 0, nil, true)
Session:save_state("", false, false, false, false, false)
close_session()
