# The README's two commands: `make run` and `make test`.
BUILD ?= build
export FOLVANE_BUILD := $(BUILD)
JOBS  := $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench screenshot clean

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

# CTest hides the output of suites that passed; their skipped tests are listed afterwards.
test: build
	@scripts/with-display ctest --test-dir $(BUILD) --output-on-failure $(CTEST_ARGS); rc=$$?; \
	  grep -h '^Skipped in ' $(BUILD)/Testing/Temporary/LastTest.log 2>/dev/null | tr -d '\r'; exit $$rc

bench: build
	@scripts/with-display scripts/bench $(B) $(ARGS)

screenshot: build
	@scripts/screenshot $(ARGS)

clean:
	rm -rf $(BUILD)
