# `make check-windows-audio`: the audio stand-in on Windows' own interfaces (ACM decoding,
# waveOut), cross-built with mingw-w64 and run under wine64 against this build's decoder.
WIN_AUDIO_BUILD ?= build-windows-audio

.PHONY: check-windows-audio

check-windows-audio: deps-build deps-windows deps-wine configure
	$(CMAKE) --build $(BUILD) --target make-audio-cases -j $(JOBS)
	$(CMAKE) -S tests/windows -B $(WIN_AUDIO_BUILD) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_CXX_COMPILER=x86_64-w64-mingw32-g++
	$(CMAKE) --build $(WIN_AUDIO_BUILD) -j $(JOBS)
	tests/windows/run_audio_check.sh $(BUILD)/make-audio-cases \
	  $(WIN_AUDIO_BUILD)/audio-windows-check.exe resources/122-music.mp3
