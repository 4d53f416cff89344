# `make soak`: SOAK_RUNS runs of morvanite-render with faults, Escape presses and focus changes
# drawn from SOAK_SEED, each checked against its predicted outcome (tests/programs/soak.py). The
# closing line says "N passed, N failed".
SOAK_RUNS ?= 200
SOAK_SEED ?= 14

.PHONY: soak

soak: deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite-render
	/usr/bin/python3 tests/programs/soak.py $(BUILD)/morvanite-render $(BUILD)/soak \
	  $(SOAK_RUNS) $(SOAK_SEED)
