# `make check-valgrind`: whole shows of morvanite-render under valgrind's memcheck (a whole show,
# Escape at the start and mid-show, a focus loss across parts, a refused playback); any report,
# leak or wrong outcome fails it. Takes a few minutes. It runs the renderer built without video
# capture: FFmpeg's libraries bring in processor probes that valgrind can't run.
.PHONY: check-valgrind

check-valgrind: deps-build deps-valgrind configure
	$(CMAKE) --build $(BUILD) --target morvanite-render-nocapture -j $(JOBS)
	./tests/programs/valgrind_shows.sh $(BUILD)/morvanite-render-nocapture $(BUILD)/valgrind-runs
