# make run    install what is missing, build, start the editor in ./workspace
# make test   install what is missing, build, run every test
# make bench  run the benchmarks
# make package  build the Debian package (build/korven_*.deb)
# make screenshots  remake the README's pictures in docs/screenshots
# make asan   build and run the tests with AddressSanitizer + UBSan
# make tsan   build and run the tests of threads with ThreadSanitizer
# make fuzz   build the fuzz targets (clang) and run each for FUZZ_SECONDS
BUILD_DIR   := build
ASAN_DIR    := build-asan
TSAN_DIR    := build-tsan
FUZZ_DIR    := build-fuzz
FUZZ_SECONDS ?= 60
# The test programs whose code runs threads: events, waits, the mixer, the
# MOD stream thread, the MIDI, CD audio and movie sources, and the network
# session threads.
TSAN_TESTS  := sound_platform_tests sound_tests media_tests network_tests dplay_tests
WORKSPACE   := workspace
JOBS        ?= $(shell nproc)
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: deps build run test bench asan tsan fuzz clean workspace package screenshots

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) > /dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

# The workspace holds the user's stages; it is created when missing and no
# target ever deletes it.
workspace:
	@mkdir -p $(WORKSPACE)/bmp $(WORKSPACE)/user/s1 $(WORKSPACE)/user/s2 $(WORKSPACE)/user/s3
	@if ls assets/bmp/*.bmp > /dev/null 2>&1; then cp assets/bmp/*.bmp $(WORKSPACE)/bmp/; fi

run: build workspace
	cd $(WORKSPACE) && ../$(BUILD_DIR)/bin/quibedit $(ARGS)

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	@set -e; for b in $(BUILD_DIR)/bin/bench_*; do if [ -x "$$b" ]; then "$$b" --benchmark_min_time=0.2; fi; done

screenshots: build
	@bash tools/screenshots/make_screenshots.sh $(BUILD_DIR)/bin . docs/screenshots

package: build
	@cmake --build $(BUILD_DIR) --target package

asan: deps
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVEN_SANITIZE=ON > /dev/null
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

tsan: deps
	@cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKORVEN_TSAN=ON > /dev/null
	@cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_TESTS)
	@set -e; cd $(TSAN_DIR)/tests; for t in $(TSAN_TESTS); do \
	  TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan_suppressions.txt" ../bin/$$t; done

# Every target runs over its inputs, then fuzzes FUZZ_SECONDS more, at low priority.
fuzz: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVEN_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets
	@tests/fuzz/run_fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(FUZZ_DIR)
