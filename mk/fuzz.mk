# `make fuzz`: the TGA loader under libFuzzer (clang 14, address and undefined sanitizers) for
# FUZZ_SECONDS seconds, starting from the seed corpus in tests/fuzz/tga. New inputs it finds are
# kept in $(FUZZ)/corpus; a crash leaves its input in $(FUZZ)/ and fails the target.
FUZZ         ?= build-fuzz
FUZZ_SECONDS ?= 60

.PHONY: fuzz fuzz-build

fuzz-build: deps
	@test -f $(FUZZ)/CMakeCache.txt || CC=clang-14 CXX=clang++-14 $(CMAKE) -S . -B $(FUZZ) \
		-DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANITE_FUZZ=ON > /dev/null
	$(CMAKE) --build $(FUZZ) --target morvanite-tga-fuzz -j $(JOBS)

fuzz: fuzz-build
	mkdir -p $(FUZZ)/corpus
	$(FUZZ)/morvanite-tga-fuzz -max_total_time=$(FUZZ_SECONDS) \
		-artifact_prefix=$(FUZZ)/ -print_final_stats=1 $(FUZZ)/corpus tests/fuzz/tga
