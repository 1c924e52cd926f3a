# Front door: `make demo` and `make test` do all set-up on a fresh Debian 12.
.PHONY: all deps build build-asan test test-asan demo format clean

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
