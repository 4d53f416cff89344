# `make bench`: every benchmark of bench/*.cpp in a release build ($(BENCH)), then the speed
# comparisons they registered. BENCH_ARGS go to the program (e.g. --benchmark_filter=BlitSprite).
BENCH_ARGS ?=

bench: deps-build
	@test -f $(BENCH)/CMakeCache.txt || $(CMAKE) -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DMORVANITE_WERROR=ON > /dev/null
	$(CMAKE) --build $(BENCH) --target morvanite-bench -j $(JOBS)
	$(BENCH)/morvanite-bench $(BENCH_ARGS)
