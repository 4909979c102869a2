# make run  : install what is missing, build, start Beatwise
# make test : install what is missing, build, run every test headless
# make bench: install what is missing, build, run the benchmarks
# make fuzz SECONDS=n: build the fuzz targets with clang, run each for n seconds
# make package: build the Debian package (build/<preset>/package/beatwise_*.deb)
# make screenshots: render the README's pictures into docs/
# Each installs only the Debian packages it needs. JOBS=n bounds the build's
# jobs (the machine's cores by default).
PRESET ?= default
SECONDS ?= 60
JOBS ?= $(shell nproc)
BUILD_DIR := build/$(PRESET)
# What scripts/install-deps installs: set by the target asked for.
NEEDS ?= run

.PHONY: all deps configure build test run bench fuzz package screenshots clean

all: build

deps:
	@scripts/install-deps $(NEEDS)

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) --parallel $(JOBS)

test: NEEDS = test
test: build
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET) --output-on-failure

fuzz: NEEDS = fuzz
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz --parallel $(JOBS)
	scripts/run-fuzzers $(SECONDS)

package: NEEDS = package
package: build
	cpack -G DEB --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package
	@ls $(BUILD_DIR)/package/beatwise_*.deb

screenshots: NEEDS = test
screenshots: build
	$(BUILD_DIR)/bin/beatwise_screenshots docs

bench: NEEDS = bench
bench: build
	$(BUILD_DIR)/bin/beatwise_bench build/bench/results.json

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
		echo "Beatwise is a desktop program and needs a display: run it from a desktop session (or set DISPLAY)." >&2; \
		exit 1; \
	fi
	$(BUILD_DIR)/bin/beatwise

clean:
	rm -rf build
