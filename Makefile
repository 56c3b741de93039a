# The README's two commands: `make run` and `make test`.
BUILD ?= build
export FOLVANE_BUILD := $(BUILD)
JOBS  := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build fuzz-build run test fuzz bench screenshot clean

all: build

deps:
	@scripts/install-deps

# The target is 32-bit Windows; where this machine's kernel cannot run 32-bit Wine the same
# code is built for 64-bit Windows so that it can still be run and tested (scripts/target-arch).
$(BUILD)/CMakeCache.txt: | deps
	@mkdir -p $(BUILD)
	@scripts/target-arch > $(BUILD)/target-arch
	cmake -S . -B $(BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$$(cat $(BUILD)/target-arch).cmake -DCMAKE_BUILD_TYPE=Release

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/run $(ARGS)

# The fuzz targets are native programs (clang, libFuzzer) in a build folder of their own.
fuzz-build: deps
	@scripts/fuzz-build $(BUILD)/fuzz

# CTest hides the output of suites that passed; their skipped tests are listed afterwards.
test: build fuzz-build
	@scripts/with-display ctest --test-dir $(BUILD) --output-on-failure $(CTEST_ARGS); rc=$$?; \
	  grep -h '^Skipped in ' $(BUILD)/Testing/Temporary/LastTest.log 2>/dev/null | tr -d '\r'; exit $$rc

# Every fuzz target for S seconds (default 600) at low priority, or the one named by T.
fuzz: fuzz-build
	@cd tests/fuzz && set -e; for t in $(or $(T),$$(ls fuzz_*.cpp | sed 's/^fuzz_//; s/\.cpp$$//')); do \
	  nice -n 19 ../../scripts/fuzz-run $(abspath $(BUILD))/fuzz $$t $(or $(S),600); done

bench: build
	@scripts/with-display scripts/bench $(B) $(ARGS)

screenshot: build
	@scripts/screenshot $(ARGS)

clean:
	rm -rf $(BUILD)
