# Front door: every target builds through CMake. Fragments in mk/ add targets of their own.
BUILD   ?= build
BENCH   ?= build-release
JOBS    ?= $(shell nproc)
CMAKE   ?= cmake
CMAKE_FLAGS ?=

# Debian packages by group (scripts/packages.txt): each target names the groups it needs as
# deps-GROUP prerequisites; `make deps` installs the groups of DEPS. NO_DEPS=1 skips them all.
DEPS        ?= build
DEPS_GROUPS  = build play windows wine web video xvfb fuzz clang valgrind install

.PHONY: all deps $(addprefix deps-,$(DEPS_GROUPS)) configure build check play bench clean

all: build

deps:
	./scripts/install-deps.sh $(DEPS)

$(addprefix deps-,$(DEPS_GROUPS)): deps-%:
	./scripts/install-deps.sh $*

$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANITE_WERROR=ON $(CMAKE_FLAGS)

configure: $(BUILD)/CMakeCache.txt

build: deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BENCH)

-include mk/*.mk
