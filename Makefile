# Every target does its own set-up on a fresh Debian 12 machine: packages, configure, build.
.PHONY: all deps configure build build-console test run bench format clean deps-fuzz fuzz test-sanitize

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default

build-console: configure
	@cmake --build --preset default --target kesta-security kesta-store kesta-screen-grab

test: build
	@QT_QPA_PLATFORM=offscreen ctest --preset default

run: build-console
	@scripts/run-demo.sh

bench: build
	@scripts/run-benchmarks.sh

# Only the fuzz targets need clang and libFuzzer; `make test` and `make test-sanitize` use g++.
deps-fuzz:
	@scripts/install-deps.sh fuzz

# Every fuzz target for FUZZ_SECONDS each (default 60): executions and findings per target.
fuzz: deps-fuzz
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@scripts/run-fuzz.sh

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize
	@QT_QPA_PLATFORM=offscreen ctest --preset sanitize

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-debug build-sanitize build-fuzz
