# Set-up, build, test and demo of Zentarel 3d. Every target installs what is
# missing first, so `make demo` and `make test` work on a fresh Debian 12 machine.

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all setup build test test-asan demo gui bench package clean

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

# The language and the engine once more under AddressSanitizer and
# UndefinedBehaviorSanitizer, in a build directory of their own.
test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DZENTAREL_SANITIZE=ON -DZENTAREL_CORE_ONLY=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

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
	rm -rf $(BUILD) $(ASAN_BUILD)
