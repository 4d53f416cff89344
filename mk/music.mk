# `make resources-music` rebuilds the show's music with our generator (tools/music).
.PHONY: resources-music
resources: resources-music

resources-music: deps-build configure
	$(CMAKE) --build $(BUILD) --target make_music -j $(JOBS)
	$(BUILD)/make_music resources/122-music.mp3
