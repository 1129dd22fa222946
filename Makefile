# make run   - installs what is missing, builds, starts the wizard under Wine beside dist/
# make test  - installs what is missing, builds both targets, runs every test
# BUILD=dir  - build folder (default build); its Wine prefix lives in it too,
#              and dist/ moves into it unless BUILD is build
# make stress-test RUNS=n - CI's run n times in fresh clones with both cores busy
# make bench  - every benchmark, one table of ratios against their baselines
# make screenshots - pictures of every page into docs/screenshots/

BUILD ?= build
JOBS  ?= $(shell nproc)
ifeq ($(BUILD),build)
DIST  ?= dist
else
DIST  ?= $(BUILD)/dist
endif
WIN64 := $(BUILD)/win64
WIN32 := $(BUILD)/win32
NATIVE := $(BUILD)/native

.PHONY: all deps build build64 build32 native test run clean stress-test screenshots bench

all: build

deps:
	@bash scripts/deps.sh

$(WIN64)/CMakeCache.txt:
	cmake -S . -B $(WIN64) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
	      -DCMAKE_BUILD_TYPE=Release -DDIST_DIR=$(abspath $(DIST))

$(WIN32)/CMakeCache.txt:
	cmake -S . -B $(WIN32) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake \
	      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DDIST_DIR=$(abspath $(WIN32))/dist

$(NATIVE)/CMakeCache.txt:
	cmake -S . -B $(NATIVE) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-omit-frame-pointer"

build64: deps $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)

build32: deps $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

native: deps $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

build: build64 build32 native

# Tests labelled "screen" run once on each of these screen sizes, each on an Xvfb
# screen of its own, and learn the size from INSTBRISKO_SCREEN.
SCREENS := 640x480 800x600 1024x768 1280x1024 1920x1080

test: build
	bash scripts/with-wine.sh --build $(BUILD) --own-display \
	  ctest --test-dir $(WIN64) --output-on-failure --no-tests=error -LE screen
	@for s in $(SCREENS); do \
	  echo "== tests on a $$s screen"; \
	  INSTBRISKO_SCREEN=$$s bash scripts/with-wine.sh --build $(BUILD) --own-display --screen $$s \
	    ctest --test-dir $(WIN64) --output-on-failure -L screen || exit 1; \
	done
	ctest --test-dir $(NATIVE) --output-on-failure --no-tests=error

run: build64
	bash scripts/run.sh $(BUILD) $(DIST)

# Every benchmark in bench/, one table of ratios (bench/README.md); BENCH_RUNS=n
# repetitions each, BENCHES="startup unzip" some of them.
bench: build64
	bash bench/run_all.sh $(BUILD) "$(BENCH_RUNS)" $(BENCHES)

# Pictures of every page into docs/screenshots/ (README), taken under Xvfb.
screenshots: build64
	bash scripts/screenshots.sh $(BUILD)

RUNS ?= 5
stress-test:
	bash scripts/stress-tests.sh $(RUNS)

clean:
	rm -rf $(BUILD)
