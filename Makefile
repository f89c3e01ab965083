# Set-up, build, test and demo of Zentarel 3d. Every target installs what is
# missing first, so `make demo` and `make test` work on a fresh Debian 12 machine.

BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
WIN_BUILD  ?= build-windows
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all setup build test test-asan fuzz demo gui bench package clean windows test-windows \
  test-windows-where-possible

all: build

setup:
	@scripts/setup.sh

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan
	$(MAKE) fuzz FUZZ_SECONDS=30
	$(MAKE) test-windows-where-possible

# The language and the engine once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build directory of their own.
test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZENTAREL_SANITIZE=ON -DZENTAREL_CORE_ONLY=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The build driver fuzzed for FUZZ_SECONDS seconds under AddressSanitizer and
# UndefinedBehaviorSanitizer, built with clang in a build directory of its own.
fuzz: setup
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAREL_FUZZ=ON -DZENTAREL_CORE_ONLY=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target build_fuzzer
	tests/fuzz/run_fuzzer.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Wine's background processes, started once and detached from any output:
# started by a test program, they would keep its output open after it ends,
# and CMake and ctest would wait for them. A Wine prefix of the build's own,
# so that no other session's server decides when they end; a second run finds
# its server still there.
WINE_SESSION = export WINEDEBUG=-all WINEPREFIX=$(abspath $(WIN_BUILD))/wine && \
  mkdir -p "$$WINEPREFIX" && { wineserver --persistent=900 2>/dev/null || true; } && \
  wine wineboot >/dev/null 2>&1

# The runner and the core tests for Windows, cross-built with MinGW-w64 on the
# libraries that scripts/windows-deps.sh builds once into $(WIN_BUILD)/deps.
windows:
	nice scripts/windows-deps.sh $(WIN_BUILD)
	cmake -S . -B $(WIN_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DZENTAREL_RUNNER_ONLY=ON \
	  -DZENTAREL_WINDOWS_DEPS=$(abspath $(WIN_BUILD))/deps/prefix \
	  -DZENTAREL_REFERENCE_RUNNER=$(abspath $(wildcard $(BUILD)/bin/zentarel3d-cli))
	$(WINE_SESSION) && nice cmake --build $(WIN_BUILD) -j $(JOBS)

# Those tests under Wine. The runner's images are compared with the Linux
# runner's when $(BUILD) has one. Wine now and then fails to start a program
# at all (no output, a hundredth of a second): a failed test gets a second run.
test-windows: windows
	$(WINE_SESSION) && cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

# In `make test`: a machine that cannot install the cross compilers and Wine
# or fetch Debian's sources skips the Windows tests and says so.
test-windows-where-possible:
	@status=0; nice scripts/windows-deps.sh $(WIN_BUILD) || status=$$?; \
	if [ $$status -eq 3 ]; then echo "make test: the Windows build cannot be made here: its tests are skipped"; \
	elif [ $$status -ne 0 ]; then exit $$status; \
	else $(MAKE) test-windows; fi

demo: build
	@scripts/demo.sh $(BUILD)

gui: build
	$(BUILD)/bin/zentarel3d

bench: build
	@scripts/bench.sh $(BUILD)

# The Debian package of the installed tree, in $(BUILD).
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(WIN_BUILD)
