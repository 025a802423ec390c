# The front door. `make test` runs everything CI runs; `make demo` shows the
# most the project can show today.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all bootstrap build test test-host test-asan test-win stub demo format clean

all: build

bootstrap:
	@scripts/bootstrap

build/%/build.ninja:
	@cmake --preset $* >/dev/null

build: bootstrap build/host/build.ninja build/win/build.ninja build/win-tests/build.ninja
	@cmake --build --preset host -j $(JOBS)
	@cmake --build --preset win -j $(JOBS)
	@cmake --build --preset win-tests -j $(JOBS)

stub: bootstrap build/win/build.ninja
	@cmake --build --preset win -j $(JOBS)

test-host: bootstrap build/host/build.ninja
	@cmake --build --preset host -j $(JOBS)
	@ctest --preset host -j $(JOBS)

test-asan: bootstrap build/host-asan/build.ninja
	@cmake --build --preset host-asan -j $(JOBS)
	@ctest --preset host-asan -j $(JOBS)

# Windows tests need a display for their windows and message boxes: one
# Xvfb for the whole run, and one Wine prefix whose server is ended after.
test-win: bootstrap stub build/win-tests/build.ninja
	@cmake --build --preset win-tests -j $(JOBS)
	@xvfb-run -a -s "-screen 0 1024x768x24" scripts/run-win-tests -j $(JOBS)

test: test-host test-asan test-win
	@echo "make test: all suites passed"

# `make demo INSTALL=1` also installs the demo product without the wizard.
demo: bootstrap stub build/host/build.ninja $(if $(INSTALL),build/win-tests/build.ninja)
	@cmake --build --preset host -j $(JOBS)
	@scripts/demo
ifneq ($(INSTALL),)
	@cmake --build --preset win-tests -j $(JOBS) --target install-runner
	@scripts/demo-install
endif

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
