# The two commands: `make demo` and `make test`. Both install what is
# missing first, so they work on a fresh Debian machine.
SHELL := /bin/bash
BUILD ?= build
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

NATIVE := $(BUILD)/native
ASAN := $(BUILD)/asan
WIN32 := $(BUILD)/win32
WIN64 := $(BUILD)/win64
FUZZ := $(BUILD)/fuzz
DIST := $(BUILD)/dist
TW_VERSION := $(shell sed -n 's/^project.Tidewell VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

.PHONY: all deps native asan win32 win64 fuzz fuzz-run test demo dist check-dist clean

all: native win32

deps:
	@tools/setup/install-deps

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(NATIVE) -j$(JOBS)

asan: deps
	cmake -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DTW_SANITIZE=ON
	cmake --build $(ASAN) -j$(JOBS)

# The product: Tidewell.dll for 32-bit Windows, and its Windows tests, which
# 32-bit Wine runs (through qemu-i386 where the kernel runs no 32-bit
# programs; see tools/wine/i386-namespace).
win32: deps
	cmake -S . -B $(WIN32) -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DTW_BUILD_TESTS=ON
	cmake --build $(WIN32) -j$(JOBS)

# A 64-bit build of the same code, for a look at what only 64-bit Windows
# would show: `tools/test/run-wine-tests $(BUILD) win64` runs its tests.
# `make test` leaves it out; the product is 32-bit.
win64: deps
	cmake -S . -B $(WIN64) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
	cmake --build $(WIN64) -j$(JOBS)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTW_FUZZ=ON
	cmake --build $(FUZZ) -j$(JOBS)

fuzz-run: fuzz
	tools/test/run-fuzzers $(FUZZ) $(FUZZ_SECONDS)

test: native asan win32 fuzz-run dist
	tools/test/run-wine-tests $(BUILD)
	tools/test/check-dist $(BUILD)
	ctest --test-dir $(ASAN) --output-on-failure -j$(JOBS)
	ctest --test-dir $(NATIVE) --output-on-failure -j$(JOBS)

# DPI=144 runs the band as on a screen of 150 %.
demo: native win32
	DPI=$(DPI) tools/demo/run $(BUILD)

# The Windows installer: the product tree, its help file and the NSIS
# script. The distribution tools are installed first, so that configuring
# the product tree finds chmcmd.
dist:
	@tools/setup/install-dist-deps
	$(MAKE) --no-print-directory win32
	cmake --build $(WIN32) --target tidewell_help
	mkdir -p $(DIST)
	makensis -V2 -DVERSION=$(TW_VERSION) -DBAND_DIR=$(abspath $(WIN32))/band \
	  -DOUTFILE=$(abspath $(DIST))/Tidewell-setup.exe installer/tidewell.nsi
	@echo "Installer: $(DIST)/Tidewell-setup.exe"

# The installer's round trip in a fresh Wine prefix: a silent install that
# registers the band, the stand-in browser opening the installed band, and a
# silent uninstall that leaves nothing of it behind.
check-dist: dist
	tools/test/check-dist $(BUILD)

clean:
	rm -rf $(BUILD)
