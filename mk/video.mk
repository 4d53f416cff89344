# Video capture: `make video` writes the whole show with its soundtrack to $(VIDEO);
# `make video-check` checks that file as CI does; `make measure-capture` times the capture
# against Debian's ffmpeg program encoding the same frames.
VIDEO ?= morvanite.mp4
MEASURE_DIR ?= $(BUILD)/measure-capture

.PHONY: video video-check measure-capture render-program

render-program: deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite-render

video: render-program
	$(BUILD)/morvanite-render --fps 60 --video $(VIDEO)

video-check: deps-video video
	./scripts/check-video.sh $(BUILD)/morvanite-render $(VIDEO)

measure-capture: deps-video render-program
	./scripts/measure-capture.sh $(BUILD)/morvanite-render $(MEASURE_DIR)
