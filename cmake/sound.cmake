# Sound libraries of the game core: the OPL3 chip emulator (shipped inside AdPlug), the
# FluidSynth software synthesiser and the ALSA sequencer for the system MIDI output.
pkg_check_modules(VULTAR_SOUND REQUIRED IMPORTED_TARGET adplug fluidsynth alsa)
target_link_libraries(vultar_core PUBLIC PkgConfig::VULTAR_SOUND)
