# The two everyday commands: `make run` and `make test`; the gates `make sanitize` and `make fuzz`.
BUILD   ?= build
DESIGN  ?= examples/pump.vok
JOBS    ?= $(shell nproc)
CLANG_CC  ?= clang-14
CLANG_CXX ?= clang++-14
FUZZ_SECONDS ?= 60

# Sanitizer builds: clang, no benchmarks, each in a folder of its own.
SAN_CONFIGURE = cmake -S . -G Ninja -DCMAKE_C_COMPILER=$(CLANG_CC) -DCMAKE_CXX_COMPILER=$(CLANG_CXX) \
                -DTESSARIC_BENCH=OFF > /dev/null
# A report fails the test that caused it; leaks are checked at every exit.
ASAN_ENV = ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
           UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 QT_QPA_PLATFORM=offscreen \
           TESSARIC_SOURCE_DIR=$(CURDIR)

.PHONY: run test bench build deps configure clean sanitize sanitize-address sanitize-thread fuzz

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tessaric
	$(BUILD)/app/tessaric $(DESIGN)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer, then the
# io tests (the design file reader runs on several threads) under ThreadSanitizer.
sanitize: sanitize-address sanitize-thread

sanitize-address: deps
	@$(SAN_CONFIGURE) -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTESSARIC_SANITIZER=address,undefined
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && $(ASAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize-thread: deps
	@$(SAN_CONFIGURE) -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DTESSARIC_SANITIZER=thread
	@cmake --build build-tsan -j $(JOBS) --target io_tests
	$(TSAN_ENV) build-tsan/tests/io_tests

# Each libFuzzer target for FUZZ_SECONDS; crashes land in build-fuzz/fuzz-crashes/<target>/.
fuzz: deps
	@$(SAN_CONFIGURE) -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
	    -DTESSARIC_FUZZ=ON -DTESSARIC_TESTS=OFF
	@cmake --build build-fuzz -j $(JOBS) --target fuzzers
	@bash scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
