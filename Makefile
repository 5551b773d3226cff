# Stylomat: two commands do everything on a fresh Debian 12 machine.
#   make run    installs what is needed, builds, and starts Stylomat
#               (with simulated tablets on COM1, COM3, COM5 and COM7 for a first
#               look; COM7's has a broken grid wire for the grid test)
#   make test   installs what is needed, builds, and runs the tests
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
BUILD_FUZZ ?= build-fuzz
# make fuzz: seconds per fuzzer, or (when above 0) executions per fuzzer.
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?= 0
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
DEMO_TABLETS ?= 1=dovrane4,3=pallivant7,5=empty,7=kv-brokenx
# The tablet driver's device in the demonstration: a recorded pen tablet.
DEMO_RECORDING ?= pen_tablet.evemu

.PHONY: deps build run run-real test test-sanitize test-tsan fuzz bench package clean

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

# The demonstration: simulated tablets only, real waits.
run: build
	@if [ -x $(BUILD)/stylomat ]; then \
	  STYLOMAT_PORTS=none STYLOMAT_SIMULATE=$(DEMO_TABLETS) STYLOMAT_INPUT_RECORDING=$(DEMO_RECORDING) $(BUILD)/stylomat; \
	else \
	  STYLOMAT_PORTS=none STYLOMAT_SIMULATE=$(DEMO_TABLETS) STYLOMAT_INPUT_RECORDING=$(DEMO_RECORDING) $(BUILD)/stylomat-cli ports; \
	fi

# The real serial ports of this machine.
run-real: build
	$(BUILD)/stylomat

test: build
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=Debug -DSTYLOMAT_SANITIZE=ON -DSTYLOMAT_BENCH=OFF
	cmake --build $(BUILD_ASAN) -j$(JOBS)
	cd $(BUILD_ASAN) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j$(JOBS)

# The tests of the parallel port search (its threads, their turns on the
# virtual clock, the record and replay of each port's exchange, the window
# and command line that start it) under ThreadSanitizer.
TSAN_TESTS ?= *Parallel*:Cli_Search.*:Search_All_Ports*:Search_Port.*
test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTYLOMAT_TSAN=ON -DSTYLOMAT_GUI=OFF \
	  -DSTYLOMAT_BENCH=OFF
	cmake --build $(BUILD_TSAN) -j$(JOBS) --target stylomat_tests
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(BUILD_TSAN)/tests/stylomat_tests \
	  --gtest_filter='$(TSAN_TESTS)' --gtest_repeat=5

# Every libFuzzer target (fuzz/*_fuzz.cpp) under AddressSanitizer and
# UndefinedBehaviorSanitizer, one after the other, each for FUZZ_SECONDS
# seconds (or FUZZ_RUNS executions); needs clang with libFuzzer, installed
# here only.  The corpora stay in $(BUILD_FUZZ)/corpus for the next run.
fuzz:
	@STYLOMAT_WITH_FUZZ=1 scripts/install-deps.sh
	CC=clang CXX=clang++ cmake -S . -B $(BUILD_FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTYLOMAT_FUZZ=ON \
	  -DSTYLOMAT_GUI=OFF -DSTYLOMAT_TESTS=OFF -DSTYLOMAT_BENCH=OFF
	cmake --build $(BUILD_FUZZ) -j$(JOBS)
	scripts/run-fuzzers.sh $(BUILD_FUZZ) $(FUZZ_SECONDS) $(FUZZ_RUNS)

# A Debian package of the build (build/stylomat_<version>_<arch>.deb).
package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	@for b in $(BUILD)/bench/*_bench $(BUILD)/src/gui/*_qtbench; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN) $(BUILD_FUZZ)
