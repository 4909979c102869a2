# make test : install what is missing, build, run every test headless
# make run  : install what is missing, build, start Beatwise
# make bench: install what is missing, build, run the benchmarks
# make fuzz SECONDS=n: build the fuzz targets with clang, run each for n seconds
# make package: build the Debian package (build/<preset>/package/beatwise_*.deb)
# make screenshots: render the README's pictures into docs/
PRESET ?= default
SECONDS ?= 60
BUILD_DIR := build/$(PRESET)

.PHONY: all deps configure build test run bench fuzz package screenshots clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) --parallel

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET) --output-on-failure

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz --parallel
	scripts/run-fuzzers $(SECONDS)

package: build
	cpack -G DEB --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package
	@ls $(BUILD_DIR)/package/beatwise_*.deb

screenshots: build
	$(BUILD_DIR)/docs/beatwise_screenshots docs

bench: build
	@scripts/install-deps --bench
	$(BUILD_DIR)/bench/beatwise_bench build/bench/results.json

run: build
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
		echo "Beatwise is a desktop program and needs a display: run it from a desktop session (or set DISPLAY)." >&2; \
		exit 1; \
	fi
	$(BUILD_DIR)/app/beatwise

clean:
	rm -rf build
