# The front door. `make test` runs everything CI runs; `make demo` shows the
# most the project can show today.
SHELL := /bin/bash
JOBS ?= $(shell nproc)

.PHONY: all bootstrap build test test-host test-asan test-win stub run-stub demo format clean
.PHONY: test-fuzz fuzz check-layers

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

# The stub that the Windows tests and the demo run under Wine: the i686 one,
# and also its x86_64 build where this machine's Wine runs 64-bit programs
# only (a kernel without 32-bit support; scripts/wine-arch tells).
run-stub: stub
	@if [ "$$(scripts/wine-arch)" = win64 ]; then \
	  echo "Wine here runs 64-bit Windows programs only: Windows tests, e2e and demo run x86_64 builds"; \
	  [ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null; \
	  cmake --build --preset win64 -j $(JOBS); \
	fi

test-host: bootstrap build/host/build.ninja
	@cmake --build --preset host -j $(JOBS)
	@ctest --preset host -j $(JOBS)

test-asan: bootstrap build/host-asan/build.ninja
	@cmake --build --preset host-asan -j $(JOBS)
	@ctest --preset host-asan -j $(JOBS)

# Windows tests need a display for their windows and message boxes: one
# Xvfb for the whole run, and one Wine prefix whose server is ended after.
# The e2e cases pack their setup programs with the host's kpack.
test-win: bootstrap run-stub build/host/build.ninja build/win-tests/build.ninja
	@cmake --build --preset host -j $(JOBS) --target kpack
	@cmake --build --preset win-tests -j $(JOBS)
	@xvfb-run -a -s "-screen 0 1024x768x24" scripts/run-win-tests -j $(JOBS)

test: check-layers test-host test-asan test-win test-fuzz
	@echo "make test: all suites passed"

# The layering the README states: includes point down, no cycle.
check-layers:
	@scripts/check-layers

# Fuzz targets (clang, libFuzzer, ASan, UBSan): `make test` runs each for a
# fixed number of runs; `make fuzz FUZZ_TIME=600 [FUZZ_TARGETS="setup ..."]`
# runs each for that many seconds and keeps the corpus in build/fuzz.
FUZZ_RUNS ?= 300
FUZZ_TIME ?= 300
test-fuzz: bootstrap build/fuzz/build.ninja
	@cmake --build --preset fuzz -j $(JOBS)
	@tests/fuzz/run --runs $(FUZZ_RUNS) $(FUZZ_TARGETS)

fuzz: bootstrap build/fuzz/build.ninja
	@cmake --build --preset fuzz -j $(JOBS)
	@tests/fuzz/run --time $(FUZZ_TIME) $(FUZZ_TARGETS)

# `make demo INSTALL=1` also installs the demo product without the wizard;
# `make demo DPI=120` runs it at 120 dots per inch (DPI=192 at 200 %, and so on).
demo: bootstrap run-stub build/host/build.ninja $(if $(INSTALL),build/win-tests/build.ninja)
	@cmake --build --preset host -j $(JOBS)
	@DEMO_DPI=$(DPI) scripts/demo
ifneq ($(INSTALL),)
	@cmake --build --preset win-tests -j $(JOBS) --target install-runner e2e_driver
	@scripts/demo-install
	@scripts/demo-uninstall
endif

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build out
