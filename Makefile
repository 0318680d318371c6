# Pelio: `make run` and `make test` do all set-up on a fresh Debian machine (as root).
#   make build           install what is missing, build the dependencies and every tree
#   make test            build, then run the native, sanitizer, fuzz and Windows (Wine) tests
#   make run [FILE=...]  build, then open the 64-bit Pelio.exe under Wine in a virtual desktop
#                        (ARCH=win32: the 32-bit one, where this machine runs 32-bit programs)
#   make bench           native benchmarks
#   make release         both Windows builds, then dist/Pelio-<version>-x64.zip and -x86.zip
SHELL := /bin/bash
.ONESHELL:
.SHELLFLAGS := -eu -o pipefail -c
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20

export PELIO_JPEG_ROOT := $(shell cat build/jpeg-root 2>/dev/null)
export PELIO_WEBP_ROOT := $(shell cat build/webp-root 2>/dev/null)

ARCH ?= win64

.PHONY: all deps build build-native build-asan build-fuzz build-win32 build-win64 test run bench release clean

all: build

deps:
	@scripts/install-packages.sh
	mkdir -p build
	root=$$(JOBS=$(JOBS) scripts/build-libjpeg.sh | tail -1)
	echo "$$root" > build/jpeg-root
	root=$$(JOBS=$(JOBS) scripts/build-libwebp.sh | tail -1)
	echo "$$root" > build/webp-root

# Each tree: configure once (or when the preset changed), then build.
define tree
	export PELIO_JPEG_ROOT=$$(cat build/jpeg-root) PELIO_WEBP_ROOT=$$(cat build/webp-root)
	if [ ! -f build/$(1)/build.ninja ] || [ CMakePresets.json -nt build/$(1)/CMakeCache.txt ]; then
	  cmake --preset $(1) $(2) >build/configure-$(1).log 2>&1 || { cat build/configure-$(1).log; exit 1; }
	fi
	cmake --build --preset $(1) -j $(JOBS)
endef

build-native: deps
	$(call tree,native)
build-asan: deps
	$(call tree,asan)
build-fuzz: deps
	$(call tree,fuzz,-DPELIO_FUZZ_SECONDS=$(FUZZ_SECONDS))
build-win32: deps
	$(call tree,win32)
build-win64: deps
	$(call tree,win64)

build: build-native build-win32 build-win64

test: build-native build-asan build-fuzz build-win32 build-win64
	scripts/run-tests.sh

run: build-$(ARCH)
	PELIO_ARCH=$(ARCH) scripts/run-pelio.sh $(FILE)

release: build-win32 build-win64
	scripts/make-release.sh

# The blurs' yardstick library is needed here only; configure again so the benchmarks find it.
bench: deps
	scripts/install-packages.sh libvips-dev
	export PELIO_JPEG_ROOT=$$(cat build/jpeg-root) PELIO_WEBP_ROOT=$$(cat build/webp-root)
	cmake --preset native >build/configure-native.log 2>&1 || { cat build/configure-native.log; exit 1; }
	cmake --build --preset native -j $(JOBS)
	build/native/bench/pelio_bench

clean:
	-PELIO_ARCH=win64 scripts/wine-session.sh stop
	-PELIO_ARCH=win32 scripts/wine-session.sh stop
	rm -rf build dist
