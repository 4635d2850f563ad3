# Thin wrapper around CMake: `make run` starts the editor, `make test` runs every test headless:
# the plain build's tests, then the same tests built with AddressSanitizer, LeakSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the test, then a short run of each fuzzer.
BUILD ?= build
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
JOBS ?= $(shell nproc)

# No debug information: it doubles the time the tests take to build and nobody steps through
# this build. The program keeps its optimisation. Clang with precompiled test headers builds it in
# two thirds of the time GCC takes.
PLAIN_OPTIONS = -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DTESSORY_BUILD_TESTS=ON \
    -DTESSORY_BUILD_BENCHMARKS=ON -DTESSORY_PRECOMPILE_TEST_HEADERS=ON \
    -DTESSORY_LINKER=lld -DTESSORY_UNITY_BUILD=ON
# Clang builds the instrumented tests in half the time GCC takes, with precompiled headers.
SANITIZE_OPTIONS = -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-DNDEBUG" -DTESSORY_SANITIZE=ON -DTESSORY_BUILD_TESTS=ON \
    -DTESSORY_BUILD_BENCHMARKS=OFF \
    -DTESSORY_PRECOMPILE_TEST_HEADERS=ON -DTESSORY_LINKER=lld -DTESSORY_UNITY_BUILD=ON

# The Debian package: the program alone, without tests or benchmarks, in a Release build of its
# own, installed under /usr.
PACKAGE_OPTIONS = -DCMAKE_BUILD_TYPE=Release -DTESSORY_UNITY_BUILD=ON

.PHONY: deps build benchmarks run test test-plain build-sanitize test-sanitize test-fuzz package clean

deps:
	./scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(PLAIN_OPTIONS)
	cmake --build $(BUILD) -j $(JOBS)

# Every benchmark under bench/; each prints its figures when run (see README). They also need what
# bench/install-deps installs.
benchmarks: build
	./bench/install-deps
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks

run: build
	$(BUILD)/bin/glsl-tessory

test: test-plain test-sanitize test-fuzz

test-plain: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

build-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) $(SANITIZE_OPTIONS)
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

# The sanitizers' settings and suppressions come with each test (see cmake/sanitize.cmake).
test-sanitize: build-sanitize
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# FUZZ_SECONDS sets each target's time (see fuzz/run-fuzzers).
test-fuzz: deps
	./fuzz/run-fuzzers $(FUZZ_BUILD)

package: deps
	cmake -S . -B $(PACKAGE_BUILD) $(PACKAGE_OPTIONS)
	cmake --build $(PACKAGE_BUILD) -j $(JOBS)
	cd $(PACKAGE_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
