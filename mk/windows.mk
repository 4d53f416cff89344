# Windows: `make windows` cross-builds with Debian's mingw-w64 into $(DIST)/: morvanite-win32.exe
# and morvanite-win64.exe (the program on the real Win32, DirectDraw 7 and GDI) and
# morvanite-render-win64.exe (the headless renderer on our stand-ins), then checks the resources
# in them; the check programs (morvanite-win32/-win64-check.exe) stay in the build folders. CI
# runs the programs under Wine: `make windows-check-render` (the renderer's hash lines against
# Linux's) and `make windows-check-play` (the check program and the program on a virtual X
# server).
WIN32_BUILD ?= build-win32
WIN64_BUILD ?= build-win64
# The headless renderer: the show on our own stand-ins, built for Windows.
RENDER64_BUILD ?= build-win64-render
WINE_WORK   ?= build-wine
DIST        ?= dist

.PHONY: windows windows-check-render windows-check-play

# Configures (once) and builds $(1) with toolchain $(2) and the CMake options $(3).
define windows_build
	@test -f $(1)/CMakeCache.txt || $(CMAKE) -S . -B $(1) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/$(2).cmake -DMORVANITE_WERROR=ON $(3) > /dev/null
	$(CMAKE) --build $(1) -j $(JOBS)
	cd $(1) && ctest --output-on-failure
endef

windows: deps-windows
	$(call windows_build,$(WIN64_BUILD),mingw-x86_64)
	$(call windows_build,$(WIN32_BUILD),mingw-i686)
	$(call windows_build,$(RENDER64_BUILD),mingw-x86_64,-DMORVANITE_REAL_WINDOWS=OFF)
	mkdir -p $(DIST)
	cp $(WIN64_BUILD)/morvanite-win64.exe $(RENDER64_BUILD)/morvanite-render-win64.exe \
	  $(WIN32_BUILD)/morvanite-win32.exe $(DIST)/

windows-check-render: windows deps-wine build
	./scripts/wine-render-check.sh $(BUILD)/morvanite-render $(DIST)/morvanite-render-win64.exe \
	  $(WINE_WORK)

windows-check-play: windows deps-wine deps-xvfb build
	./scripts/wine-play-check.sh $(BUILD)/morvanite-render $(DIST) $(WIN64_BUILD) $(WIN32_BUILD) \
	  $(WINE_WORK)
