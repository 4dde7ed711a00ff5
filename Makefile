# Every target does its own set-up on a fresh Debian 12 machine: packages, configure, build.
.PHONY: all deps configure build build-console test run bench format clean

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

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-debug
