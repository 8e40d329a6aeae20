# The two set-up commands: `make run` and `make test`. Both install what is
# missing, then configure and build.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
COV_BUILD  ?= build-cov
FUZZ_SECONDS ?= 60
FUZZ_SEED ?=
FUZZ_TARGETS ?= load_picture canvas video_writer
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

# What the sanitizers do on a finding, and the leaks inside system libraries
# that they leave alone; plain builds ignore these.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

.PHONY: all deps configure build run test asan-test coverage bench fuzz package check-package clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/plavex

test: build
	$(SANITIZER_ENV) ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The whole test suite again under AddressSanitizer and UndefinedBehaviorSanitizer.
asan-test: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLAVEX_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

# The whole suite in a build instrumented with --coverage, then the line
# coverage of the product folders; the full report lands in $(COV_BUILD)/coverage.txt.
# The counters are updated atomically because the frame pipeline's workers share them.
coverage: deps
	cmake -S . -B $(COV_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPLAVEX_BUILD_BENCH=OFF \
	  -DCMAKE_C_FLAGS="--coverage -fprofile-update=atomic" -DCMAKE_CXX_FLAGS="--coverage -fprofile-update=atomic" $(CMAKE_ARGS)
	cmake --build $(COV_BUILD) -j $(JOBS)
	find $(COV_BUILD) -name '*.gcda' -delete
	GCOV_ERROR_FILE=/dev/null ctest --test-dir $(COV_BUILD) --output-on-failure -j $(JOBS)
	gcovr --root . --object-directory $(COV_BUILD) --exclude-directories "$(COV_BUILD)/CMakeFiles" --filter '(app|pages|engine|video|platform|res|cli)/' \
	  -j $(JOBS) --print-summary -o $(COV_BUILD)/coverage.txt

# Each fuzz target under libFuzzer with ASan+UBSan for FUZZ_SECONDS, over a
# fresh copy of its generated seed corpus; crash inputs land in fuzz-out/.
fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
	  -DPLAVEX_SANITIZE=ON -DPLAVEX_FUZZ=ON -DPLAVEX_BUILD_BENCH=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target plavex_fuzz_corpus $(addprefix fuzz_,$(FUZZ_TARGETS))
	FUZZ_SEED=$(FUZZ_SEED) fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) fuzz-out $(FUZZ_TARGETS)

# The Debian package, $(BUILD)/plavex_VERSION_ARCH.deb; check-package then
# unpacks it, runs plavex-cli from it and validates its desktop metadata.
package: build
	cmake --build $(BUILD) -j $(JOBS) --target package

check-package: package
	scripts/check-package.sh $(BUILD)

bench: build
	@for b in $(BUILD)/bench/*/bench_*; do [ -x "$$b" ] && "$$b"; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(COV_BUILD) fuzz-out
