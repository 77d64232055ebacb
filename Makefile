# The two commands a newcomer types: `make test` and `make demo`.
BUILD   ?= build
BUILD32 ?= build32
JOBS    ?= $(shell nproc)

.PHONY: all deps configure build build32 test demo fuzz clean

all: build

deps:
	@sh tools/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake

configure: $(BUILD)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# The 32-bit build: compiled to prove it builds, not run.
build32: deps
	cmake -S . -B $(BUILD32) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake -DCORVANE_TESTS=OFF
	cmake --build $(BUILD32) -j $(JOBS)

# One X server for the whole run when there is no display.
XRUN = $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1024x768x24")

test: build build32
	cd $(BUILD) && $(XRUN) ctest --output-on-failure

demo: build
	sh tools/demo.sh $(BUILD)

# Native fuzz targets of the parsers, each run for FUZZ_SECONDS (not part of `test`).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 300

fuzz:
	@sh tools/install-fuzz-deps.sh
	sh tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD32) $(FUZZ_BUILD) out
