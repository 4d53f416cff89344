# The show in a web browser (Emscripten; hosts/web, programs/web): `make web` builds build-web/ (index.html,
# index.js, index.wasm), `make check-web` checks it in headless Chromium against morvanite-render,
# `make measure-web` times it, `make serve-web` serves it on http://127.0.0.1:$(WEB_PORT)/.
WEB       ?= build-web
WEB_BUILD ?= build-web-cmake
WEB_CHECK ?= build-web-check
WEB_PORT  ?= 8000
# Emscripten's optimiser runs under node and needs Debian's node modules.
WEB_ENV   = NODE_PATH=/usr/share/nodejs

.PHONY: web check-web measure-web serve-web web-deps

web-deps: deps-web
	./scripts/install-web-deps.sh

web: deps-web
	@test -f $(WEB_BUILD)/CMakeCache.txt || $(WEB_ENV) emcmake $(CMAKE) -S . -B $(WEB_BUILD) \
		-DCMAKE_BUILD_TYPE=Release -DMORVANITE_WERROR=ON > /dev/null
	$(WEB_ENV) $(CMAKE) --build $(WEB_BUILD) -j $(JOBS) --target morvanite-web
	mkdir -p $(WEB)
	cp $(WEB_BUILD)/index.html $(WEB_BUILD)/index.js $(WEB_BUILD)/index.wasm $(WEB)/

check-web: web web-deps deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite-render
	node tests/web/check.mjs --site $(WEB) --render $(BUILD)/morvanite-render --out $(WEB_CHECK)

measure-web: web web-deps deps-build configure
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target morvanite-render
	node tests/web/check.mjs --site $(WEB) --render $(BUILD)/morvanite-render --out $(WEB_CHECK) --measure

serve-web: web
	node tests/web/serve.mjs $(WEB) $(WEB_PORT)
