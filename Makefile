# Thin wrapper over the CMake presets. `make run` and `make test` do all set-up on a fresh Debian 12 machine.
.PHONY: setup configure build run test windows bench fuzz install package format clean

# Let ccache share compiled objects between clones in different folders (CI builds a fresh clone).
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default

# `make run ARGS=--dry-run` passes its arguments on: with --dry-run no task acts on this computer.
run: build
	@bash scripts/run.sh $(ARGS)

# The Linux tests, then the Windows build (build-windows/) with its tests under Wine.
test: build
	@ctest --preset default
	@bash scripts/windows.sh test

# The portable Windows program: dist/vantor-windows-x64.zip.
windows: setup
	@bash scripts/windows.sh package

# Installs the program, its menu entry, icons and metainfo under PREFIX (/usr/local unless given);
# DESTDIR is honoured: `make install PREFIX=/usr DESTDIR=/tmp/stage`.
PREFIX ?= /usr/local
install: build
	@DESTDIR="$(DESTDIR)" cmake --install build --prefix "$(PREFIX)" --strip

# Builds the .deb (build/vantor_VERSION_ARCH.deb) with CPack.
package: build
	@cd build && cpack -G DEB

# Prints the benchmarks' figures (ratios against baselines measured in the same run); never part of `test`.
bench: build
	@./build/bench/selection_bench
	@./build/bench/startup_bench
	@./build/bench/tick_bench

# Fuzzes each file and text reader for FUZZ_SECONDS seconds (600 by default) in build-fuzz/ (clang,
# libFuzzer, ASan + UBSan); says where a crash reproducer was written. Never part of `test`, which replays
# the committed corpus in seconds.
fuzz: setup
	@bash scripts/fuzz.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-windows dist
