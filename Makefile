# Thin convenience layer over CMake presets. The two commands the README
# promises: `make run` and `make test`. Both install what is missing first.
PRESET ?= dev
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps build run test test-asan web-deps bench fuzz package format format-check clean

all: build

deps:
	@sh scripts/install-deps.sh

$(BUILD_DIR)/build.ninja:
	cmake --preset $(PRESET)

build: deps $(BUILD_DIR)/build.ninja
	cmake --build --preset $(PRESET) -j $(JOBS)

web-deps: deps
	@cd tests/web && if [ ! -d node_modules/playwright-core ]; then npm ci --no-audit --no-fund; fi

run: build
	@sh scripts/run-sample.sh $(BUILD_DIR)

test: web-deps build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS) --repeat until-pass:2

test-asan:
	$(MAKE) test PRESET=asan

bench: deps
	cmake --preset release && cmake --build --preset release -j $(JOBS)
	@sh bench/run.sh build/release

# The Debian package and the source tarball, in build/package. Install the
# package with `sudo apt install ./build/package/quillmate_*.deb`.
package: deps
	cmake --preset package && cmake --build --preset package -j $(JOBS)
	cd build/package && cpack -G DEB && cpack --config CPackSourceConfig.cmake

# Every fuzz target (fuzz/) for FUZZ_SECONDS each, one after the other.
fuzz: deps
	cmake --preset fuzz && cmake --build --preset fuzz -j $(JOBS)
	@sh scripts/run-fuzz.sh build/fuzz $(FUZZ_SECONDS)

CXX_SOURCES = find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0

format:
	$(CXX_SOURCES) | xargs -0 clang-format -i

format-check: deps
	$(CXX_SOURCES) | xargs -0 clang-format --dry-run --Werror

clean:
	rm -rf build
