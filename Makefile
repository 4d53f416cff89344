# Front door: every target builds through CMake. Fragments in mk/ add targets of their own.
BUILD   ?= build
BENCH   ?= build-release
JOBS    ?= $(shell nproc)
CMAKE   ?= cmake
CMAKE_FLAGS ?=

.PHONY: all deps configure build check play bench clean

all: build

deps:
	./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANITE_WERROR=ON $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	$(CMAKE) --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BENCH)

-include mk/*.mk
