# Cube Saver: build, run and test from Linux.
#   make build   the trees (host tools and tests; the Windows program; the Linux program)
#   make run     the saver in a window under Wine with the demonstration pictures
#   make test    every test tier (unit natively, Win32 code and the real .scr under Wine)
#   make bench   benchmarks
#   make fuzz    each fuzz target for FUZZ_SECONDS (60 by default)
SHELL := /bin/bash
CACHE_DIR ?= $(HOME)/.cache/cubesaver
MINGW_PREFIX ?= $(CACHE_DIR)/mingw-deps
FUZZ_SECONDS ?= 60
export CUBESAVER_CACHE := $(CACHE_DIR)

PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all build host windows linux install tsan test run bench fuzz clean packages-host packages-windows packages-wine packages-linux packages-linux-test

all: build
build: host windows linux

packages-host:
	@source scripts/packages.sh && scripts/ensure-packages.sh $$HOST_PACKAGES

packages-windows:
	@source scripts/packages.sh && scripts/ensure-packages.sh $$WINDOWS_PACKAGES
	@scripts/build-mingw-deps.sh "$(MINGW_PREFIX)"

packages-linux:
	@source scripts/packages.sh && scripts/ensure-packages.sh $$LINUX_PACKAGES

packages-linux-test:
	@source scripts/packages.sh && scripts/ensure-packages.sh $$LINUX_TEST_PACKAGES

packages-wine:
	@source scripts/packages.sh && scripts/ensure-packages.sh $$WINE_PACKAGES

host: packages-host
	cmake --preset host >/dev/null
	cmake --build --preset host

windows: packages-windows packages-host
	cmake --preset windows -DCUBESAVER_MINGW_PREFIX="$(MINGW_PREFIX)" >/dev/null
	cmake --build --preset windows

linux: packages-host packages-linux
	cmake --preset linux >/dev/null
	cmake --build --preset linux

# The program where XScreenSaver looks for hacks, and its settings file.
install: linux
	scripts/install-linux.sh build/linux/cubesaver "$(PREFIX)" "$(DESTDIR)"

# The loader thread's hand-off also runs under ThreadSanitizer.
tsan: packages-host
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan

test: build tsan packages-wine packages-linux packages-linux-test
	scripts/run-tests.sh

run: build packages-wine
	scripts/run-saver.sh

bench: build packages-wine
	@source scripts/packages.sh && scripts/ensure-packages.sh $$BENCH_PACKAGES
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	scripts/run-benchmarks.sh

fuzz: packages-host
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh $(FUZZ_SECONDS)

clean:
	rm -rf build
