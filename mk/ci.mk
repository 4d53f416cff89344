# Extra checks run by CI: the tests under the sanitizers, and the real program under Xvfb.
SANITIZE_BUILD ?= build-sanitize

.PHONY: check-sanitize smoke-xvfb

check-sanitize:
	$(MAKE) check BUILD=$(SANITIZE_BUILD) \
	  CMAKE_FLAGS="-DMORVANITE_SANITIZE=address,undefined,float-cast-overflow"

smoke-xvfb: deps-xvfb build
	./scripts/xvfb-smoke.sh $(BUILD)/morvanite
