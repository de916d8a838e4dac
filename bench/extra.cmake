# The context benchmark compares against WebRTC's VAD from Debian's libwebrtc-audio-processing.
target_link_libraries(context_bench PRIVATE webrtc_audio_processing)
