# Front door: `make demo` and `make test` do all set-up on a fresh Debian 12.
.PHONY: all deps build build-asan test demo install uninstall-desktop format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan

test: build build-asan
	ctest --preset default
	ctest --preset asan

demo: build
	scripts/demo.sh build/default

PREFIX ?= /usr/local
install: build
	cmake --install build/default --prefix $(PREFIX)

# Removes this user's desktop files and registry store (the program itself
# never removes them).
uninstall-desktop:
	scripts/remove-desktop-integration.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
