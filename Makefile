# Front door: `make demo` and `make test` do all set-up on a fresh Debian 12.
.PHONY: all deps build build-asan build-tsan windows test demo bench fuzz reliability install uninstall-desktop package format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

# Only the threaded tests (the cipher's worker, the chunks sealed on every
# core, the key derived on a thread of its own) under ThreadSanitizer.
build-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan

# The Windows programs, cross-built and tested under Wine; build/windows/dist
# holds what goes to a Windows machine.
windows: deps
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows

test: build build-asan build-tsan windows
	scripts/fuzz.sh short build/default/cli/velmora-cli
	ctest --preset default
	ctest --preset asan
	ctest --preset tsan

# Fuzzes each target for FUZZ_SECONDS (default 300).
FUZZ_SECONDS ?= 300
fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS)

# Fuzzing, crash injection, fault injection and hostile inputs, with figures.
reliability: build
	scripts/reliability.sh

demo: build
	scripts/demo.sh build/default

# Speed and memory beside tar, 7-Zip and zip (installs the peers).
bench: deps
	scripts/install-deps.sh --bench
	cmake --preset bench
	cmake --build --preset bench
	build/bench/bench/coding_kernels_bench
	cmake --preset windows
	cmake --build --preset windows --target coding_kernels_timed
	@echo "The Windows build's kernels under Wine (a sanity figure):"
	WINEPREFIX=$(CURDIR)/build/windows/wineprefix WINEDEBUG=-all wine build/windows/bench/coding_kernels_timed.exe
	bench/run.sh

PREFIX ?= /usr/local
install: build
	cmake --install build/default --prefix $(PREFIX)

# The Debian package build/velmora_VERSION-1_ARCH.deb, from the default preset.
package: build
	packaging/build-deb.sh build/default build

# Removes this user's registration: the registry store and the desktop files
# (the program itself never removes them), as `velmora-cli unregister` does.
uninstall-desktop: build
	build/default/cli/velmora-cli unregister

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
