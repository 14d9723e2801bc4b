# Tallyscope: one-command set-up, build, run and test.
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test headless (plus a sanitizer build of the core)
#   make bench  build and run the benchmarks
#   make install PREFIX=/usr/local   build and install, stripped (DESTDIR is honoured)
#   make package                     build a Debian package in build/package/

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
# Tests wait on their servers and child processes much of the time: one more than the cores.
TEST_JOBS  ?= $(shell echo $$(( $(JOBS) + 1 )))
PACKAGES   := $(shell grep -v '^\s*\#' packages.txt | grep -v '^\s*$$')
SUDO       := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
PREFIX     ?= /usr/local
# ccache, when the machine has it, makes rebuilds of other checkouts quick; the build never needs it.
LAUNCHER   := $(if $(shell command -v ccache 2>/dev/null),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# A new build folder is made for Ninja (packages.txt), which schedules the many small test targets
# better than make; a folder made before keeps its generator.
GENERATOR   = $(if $(wildcard $(1)/CMakeCache.txt),,$(if $(shell command -v ninja 2>/dev/null),-G Ninja))

.PHONY: all setup build run test test-asan asan-build bench install package format clean

all: build

# Installs only the Debian packages that are missing; quiet and quick when all are there.
setup:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

# Debug information as line tables (-g1): backtraces and sanitizer reports name functions, files
# and lines, and the build takes a third less time than with full information (-g). For a
# debugger's view of variables: cmake -S . -B build-debug -DCMAKE_BUILD_TYPE=Debug.
LINES_ONLY  = -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_DEBUG="-g1"

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) $(call GENERATOR,$(BUILD)) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LINES_ONLY) $(LAUNCHER)

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/bin/tallyscope

# The benchmarks are built (so that they keep compiling) at the lowest priority while both test
# runs go on: the tests wait on their servers and children much of the time, and take the
# processors first whenever they need them.
test: build asan-build
	@nice -n 19 cmake --build $(BUILD) -j$(JOBS) --target benchmarks >$(BUILD)/benchmarks.log 2>&1 & \
	benchmarks=$$!; failed=0; \
	(cd $(ASAN_BUILD) && ctest --output-on-failure -L core -j$(TEST_JOBS)) || failed=1; \
	(cd $(BUILD) && xvfb-run -a -s "-screen 0 1600x1200x24" ctest --output-on-failure -j$(TEST_JOBS)) || failed=1; \
	if wait $$benchmarks; then echo "Benchmarks built."; else cat $(BUILD)/benchmarks.log; failed=1; fi; \
	exit $$failed

# The core library once more with AddressSanitizer and UndefinedBehaviorSanitizer, and its tests.
test-asan: asan-build
	cd $(ASAN_BUILD) && ctest --output-on-failure -L core -j$(TEST_JOBS)

asan-build: setup
	cmake -S . -B $(ASAN_BUILD) $(call GENERATOR,$(ASAN_BUILD)) -DCMAKE_BUILD_TYPE=Debug $(LINES_ONLY) -DTALLY_CORE_ONLY=ON -DTALLY_SANITIZE=ON $(LAUNCHER) >/dev/null
	cmake --build $(ASAN_BUILD) -j$(JOBS)

bench: build
	cmake --build $(BUILD) -j$(JOBS) --target benchmarks
	@for b in $(BUILD)/bench/*; do [ -x "$$b" ] && [ -f "$$b" ] && { echo "== $$(basename $$b)"; xvfb-run -a -s "-screen 0 1600x1200x24" "$$b"; }; done; true

install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

package: build
	cd $(BUILD) && cpack -G DEB
	@ls $(BUILD)/package/*.deb

format:
	find src app tests bench tools -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
