# Every target does its own set-up on a fresh Debian 12 machine: packages, configure, build.
.PHONY: all deps configure build build-console test soak run bench format format-check clean deps-fuzz fuzz test-sanitize

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

# The random-input soak of the end-to-end tests for SOAK_SECONDS (default 600); SOAK_SEED replays
# a run. Backtraces of a console that dies or hangs go to build/soak/.
SOAK_SECONDS ?= 600
soak: build
	@cd build/tests && QT_QPA_PLATFORM=offscreen KESTA_BIN_DIR=$(CURDIR)/build/bin \
		KESTA_SOURCE_DIR=$(CURDIR) SOAK_SECONDS=$(SOAK_SECONDS) \
		QTEST_FUNCTION_TIMEOUT=$$(( ($(SOAK_SECONDS) + 300) * 1000 )) ./tst_e2e_soak

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

# Fails, naming each place, when `make format` would change a file.
format-check: deps
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

clean:
	@rm -rf build build-debug build-sanitize build-fuzz
