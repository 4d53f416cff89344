# Playing the show: `make play` builds and runs the real program; it needs a display.
.PHONY: play play-needs-display

play-needs-display:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "make play: no display here (neither DISPLAY nor WAYLAND_DISPLAY is set): the show needs a screen. Headless runs: $(BUILD)/morvanite-render --help" >&2; \
	  exit 1; \
	fi

play: play-needs-display deps-play build
	$(BUILD)/morvanite
