# `make check-valgrind`: whole shows of morvanite-render under valgrind's memcheck (a whole show,
# Escape at the start and mid-show, a focus loss across parts, a refused playback); any report,
# leak or wrong outcome fails it. Takes a few minutes.
.PHONY: check-valgrind

check-valgrind: deps configure
	$(CMAKE) --build $(BUILD) --target morvanite-render -j $(JOBS)
	./tests/programs/valgrind_shows.sh $(BUILD)/morvanite-render $(BUILD)/valgrind-runs
