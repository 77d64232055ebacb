# The two commands a newcomer types: `make test` and `make demo`.
# `make dist` builds the installer, `make dist-test` tries it under Wine.
BUILD   ?= build
BUILD32 ?= build32
JOBS    ?= $(shell nproc)
DIST    ?= dist

.PHONY: all deps configure configure32 build build32 test test64 test32 demo dist dist-test fuzz bench format format-check clean

all: build

deps:
	@sh tools/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake

$(BUILD32)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD32) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake

configure: $(BUILD)/CMakeCache.txt
configure32: $(BUILD32)/CMakeCache.txt

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# The 32-bit build: what Outlook 2000 and every 32-bit Outlook load. Its
# tests run under 32-bit Wine, in its own win32 prefix.
build32: deps configure32
	cmake --build $(BUILD32) -j $(JOBS)

# One X server per run when there is no display.
XRUN = $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1024x768x24")

# Both architectures are tested, each with its own prefix; the second run
# goes on when the first fails, and the target fails if either did.
# A kernel without IA-32 emulation cannot start 32-bit Wine at all ("Exec
# format error"), nor can a machine where 32-bit Wine could not be
# installed: there the 32-bit build is still built, and only its tests that
# need no Wine (label "nowine") run, with a note that says so.
WINE32_RUNS = /usr/lib/wine/wine --version >/dev/null 2>&1

test: build build32
	@status=0; \
	echo "== 64-bit tests ($(BUILD)) =="; \
	(cd $(BUILD) && $(XRUN) ctest --output-on-failure) || status=1; \
	if $(WINE32_RUNS); then \
	  echo "== 32-bit tests ($(BUILD32)) =="; \
	  (cd $(BUILD32) && $(XRUN) ctest --output-on-failure) || status=1; \
	else \
	  echo "== 32-bit tests ($(BUILD32)): 32-bit Wine cannot start here (a kernel without IA-32 emulation, or no wine32 installed);"; \
	  echo "   the 32-bit build is built, and only its tests that need no Wine run =="; \
	  (cd $(BUILD32) && ctest -L nowine --output-on-failure) || status=1; \
	fi; \
	exit $$status

test64: build
	cd $(BUILD) && $(XRUN) ctest --output-on-failure

test32: build32
	@if $(WINE32_RUNS); then cd $(BUILD32) && $(XRUN) ctest --output-on-failure; \
	else echo "32-bit Wine cannot start here: only the tests that need no Wine run"; \
	  cd $(BUILD32) && ctest -L nowine --output-on-failure; fi

demo: build
	sh tools/demo.sh $(BUILD)

# The installer: both builds' product DLLs, stripped (their debug
# information in $(DIST)/symbols/) and signed, in one setup program, and a
# Windows Installer package of each build.
# `make dist SIGN_PFX=<file.pfx> SIGN_PASSWORD=<password> [SIGN_TIMESTAMP=<url>]`
# signs the DLLs, the setup and the packages; without SIGN_PFX they stay
# unsigned. The three reach the script through its environment only, never
# its command line (given in the environment instead of on make's command
# line, the password is on no command line at all).
export SIGN_PFX SIGN_PASSWORD SIGN_TIMESTAMP

dist: build build32
	sh installer/build-installer.sh $(BUILD) $(BUILD32) $(DIST)

# Silent install, load by ProgID, silent uninstall, in fresh Wine prefixes
# of both architectures: the setup program, then the packages; the target
# fails if either test did.
dist-test: dist
	@status=0; \
	sh installer/tests/install-test.sh $(BUILD) $(BUILD32) $(DIST) || status=1; \
	sh installer/tests/msi-test.sh $(BUILD) $(BUILD32) $(DIST) || status=1; \
	exit $$status

# The benchmarks (not part of `build`; the test bench_build compiles them).
bench: build
	cmake --build $(BUILD) --target bench -j $(JOBS)

# The product folders against .clang-format: `format-check` reports, `format`
# rewrites the files in place. ctest runs the check as format_check once the
# CMake option CORVANE_FORMAT_CHECK is ON (tests/format/CMakeLists.txt).
FORMAT_FOLDERS = addin common notifier propertypage registry hostsim bench tools
CLANG_FORMAT  ?= clang-format

format-check:
	sh tests/format/check-format.sh $(CLANG_FORMAT) . $(FORMAT_FOLDERS)

format:
	find $(FORMAT_FOLDERS) -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort | xargs $(CLANG_FORMAT) --style=file -i

# Native fuzz targets of the parsers, each run for FUZZ_SECONDS (not part of `test`).
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 300

fuzz:
	@sh tools/install-deps.sh clang libclang-rt-14-dev
	sh tools/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD32) $(FUZZ_BUILD) out $(DIST)
