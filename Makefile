# make test : install what is missing, build, run every test headless
# make run  : install what is missing, build, start Beatwise
PRESET ?= default
BUILD_DIR := build/$(PRESET)

.PHONY: all deps configure build test run clean

all: build

deps:
	@scripts/install-deps

configure: deps
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) --parallel

test: build
	QT_QPA_PLATFORM=offscreen ctest --preset $(PRESET) --output-on-failure

run: build
	@if [ -x $(BUILD_DIR)/app/beatwise ]; then \
		exec $(BUILD_DIR)/app/beatwise; \
	else \
		echo "Beatwise has no window yet: only the calculation library and its tests are built."; \
	fi

clean:
	rm -rf build
