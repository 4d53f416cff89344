# `make fuzz`: the fuzz targets under libFuzzer (clang 14, address and undefined sanitizers), each
# for FUZZ_SECONDS seconds from its seed corpus: the TGA loader (tests/fuzz/tga) and the music
# through the audio library stand-in (tests/fuzz/music). New inputs each finds are kept in
# $(FUZZ)/corpus-NAME; a crash leaves its input in $(FUZZ)/ and fails the target.
# `make fuzz-tga` and `make fuzz-music` run one of them.
FUZZ         ?= build-fuzz
FUZZ_SECONDS ?= 60
# Every library of the fuzz build carries coverage and the sanitizers, not only the targets.
FUZZ_SANITIZE = fuzzer-no-link,address,undefined

.PHONY: fuzz fuzz-build fuzz-tga fuzz-music fuzz-music-seeds

fuzz-build: deps-build deps-fuzz
	@grep -qs 'MORVANITE_SANITIZE:STRING=$(FUZZ_SANITIZE)$$' $(FUZZ)/CMakeCache.txt || \
		CC=clang-14 CXX=clang++-14 $(CMAKE) -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANITE_WERROR=ON \
		-DMORVANITE_FUZZ=ON -DMORVANITE_SANITIZE=$(FUZZ_SANITIZE) > /dev/null
	$(CMAKE) --build $(FUZZ) --target morvanite-tga-fuzz morvanite-music-fuzz -j $(JOBS)

# fuzz-run NAME: runs morvanite-NAME-fuzz on tests/fuzz/NAME.
define fuzz-run
	mkdir -p $(FUZZ)/corpus-$(1)
	$(FUZZ)/morvanite-$(1)-fuzz -max_total_time=$(FUZZ_SECONDS) \
		-artifact_prefix=$(FUZZ)/$(1)- -print_final_stats=1 $(FUZZ)/corpus-$(1) tests/fuzz/$(1)
endef

fuzz-tga: fuzz-build
	$(call fuzz-run,tga)

fuzz-music: fuzz-build
	$(call fuzz-run,music)

fuzz: fuzz-tga fuzz-music

# Rewrites the music target's seeds with the encoder (libmp3lame).
fuzz-music-seeds: deps-build configure
	$(CMAKE) --build $(BUILD) --target morvanite-music-seeds -j $(JOBS)
	mkdir -p tests/fuzz/music
	$(BUILD)/morvanite-music-seeds tests/fuzz/music
