# `make bench`: every benchmark of bench/*.cpp in a release build ($(BENCH)), then the speed
# comparisons they registered. BENCH_ARGS go to the program (e.g. --benchmark_filter=BlitSprite).
# GCC 12 at -O3 reports a false -Wrestrict on `"literal" + std::string` (GCC bug 105651); it stays
# a warning in this build only.
BENCH_ARGS ?=

bench: deps
	@test -f $(BENCH)/CMakeCache.txt || $(CMAKE) -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_CXX_FLAGS=-Wno-error=restrict > /dev/null
	$(CMAKE) --build $(BENCH) --target morvanite-bench -j $(JOBS)
	$(BENCH)/morvanite-bench $(BENCH_ARGS)
