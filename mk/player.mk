# The player. `make install`: the program, its man page, desktop entry and icon through CMake's
# install.
# PREFIX (default: the build's CMAKE_INSTALL_PREFIX, /usr/local) and DESTDIR (a staging folder)
# as usual. `make check-install` installs into $(BUILD)/staging and checks what landed there.
PREFIX  ?=
DESTDIR ?=

.PHONY: install check-install measure-pacing

install: deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite
	DESTDIR="$(if $(DESTDIR),$(abspath $(DESTDIR)))" $(CMAKE) --install $(BUILD) \
	  $(if $(PREFIX),--prefix "$(PREFIX)")

check-install: deps-build deps-install configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite
	./scripts/check-install.sh $(BUILD) $(BUILD)/staging

# Frame pacing of the player over a whole show under Xvfb (about 150 s): a measurement, not a
# test. PACING_REALTIME=1 runs it at real-time priority.
measure-pacing: deps-build deps-xvfb configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite
	./scripts/measure-pacing.sh $(BUILD)/morvanite $(BUILD)/pacing.log
