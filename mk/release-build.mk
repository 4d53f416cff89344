# `make check-release-build`: a plain Release build with clang 14 and the default options (warnings
# are not errors there) in $(RELEASE_BUILD), configured once; it builds everything and runs nothing.
RELEASE_BUILD ?= build-release-clang

.PHONY: check-release-build

check-release-build: deps-build deps-clang
	@test -f $(RELEASE_BUILD)/CMakeCache.txt || CC=clang-14 CXX=clang++-14 $(CMAKE) -S . \
		-B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=Release > /dev/null
	$(CMAKE) --build $(RELEASE_BUILD) -j $(JOBS)
