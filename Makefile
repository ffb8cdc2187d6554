# The two everyday commands: `make run` and `make test`; the gates `make sanitize` and `make fuzz`.
BUILD   ?= build
DESIGN  ?= examples/pump.vok
JOBS    ?= $(shell nproc)
CLANG_CC  ?= clang-14
CLANG_CXX ?= clang++-14
FUZZ_SECONDS ?= 60
FUZZ_JOBS ?= $(JOBS)

# Sanitizer builds: clang, no benchmarks, each in a folder of its own. One
# build-asan serves both `make sanitize` (its tests) and `make fuzz` (its
# libFuzzer targets): AddressSanitizer, UndefinedBehaviorSanitizer and, in the
# libraries, libFuzzer's coverage. -O1 as libFuzzer wants it (the tests' own
# code at -O0, see cmake/Layer.cmake), assertions kept (no NDEBUG), and line
# tables only: a report still names file and line, at a fraction of the build.
SAN_CONFIGURE = cmake -S . -G Ninja -DCMAKE_C_COMPILER=$(CLANG_CC) -DCMAKE_CXX_COMPILER=$(CLANG_CXX) \
                -DTESSARIC_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
                -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only -O1" -DCMAKE_C_FLAGS_DEBUG="-gline-tables-only -O1" > /dev/null
ASAN_BUILD = build-asan
TSAN_BUILD = build-tsan
# A report fails the test that caused it; leaks are checked at every exit.
ASAN_ENV = ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
           LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
           UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The recovery tests that start another run of the program stay out:
# clang-14's ThreadSanitizer fails a CHECK of its own in the clone() that
# QProcess starts it with. The rest drive the writer thread from the window.
TSAN_RECOVERY_FILTER = -RecoveryTest.AKilledProgramsEditIsOfferedAndOpensWhereItWasSaved:$\
RecoveryTest.ARunWithTheSameProcessIdOffersTheKilledRunsCopyAndKeepsIt:$\
RecoveryTest.DiscardDeletesTheCopyAndNothingIsOfferedAgain:$\
RecoveryTest.StartingOnADesignAsksOnlyTheRecoveryQuestion:$\
RecoveryTest.TheCopyOfTheNamedDesignIsAskedAboutFirst:$\
TessaricTableCommandLine.*
TSAN_ENV = TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/tsan.supp \
           QT_QPA_PLATFORM=offscreen TESSARIC_SOURCE_DIR=$(CURDIR)

.PHONY: run test bench build deps configure clean sanitize asan-configure sanitize-address sanitize-thread fuzz

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tessaric
	$(BUILD)/app/tessaric $(DESIGN)

# Only what ctest runs: `make bench` builds the benchmarks when they are wanted.
test: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tessaric_tests
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && echo "== $$b" && QT_QPA_PLATFORM=offscreen "$$b" || exit 1; done

# Every test under AddressSanitizer and UndefinedBehaviorSanitizer, then
# under ThreadSanitizer the io tests (the design file reader runs on several
# threads) and the recovery and save tests (the recovery copies and saves are
# encoded and written on threads of their own while the window edits designs).
sanitize: sanitize-address sanitize-thread

asan-configure: deps
	@$(SAN_CONFIGURE) -B $(ASAN_BUILD) -DTESSARIC_SANITIZER=address,undefined -DTESSARIC_FUZZ=ON

sanitize-address: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && $(ASAN_ENV) QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

sanitize-thread: deps
	@$(SAN_CONFIGURE) -B $(TSAN_BUILD) -DTESSARIC_SANITIZER=thread
	@cmake --build $(TSAN_BUILD) -j $(JOBS) --target io_tests recovery_tests
	$(TSAN_ENV) $(TSAN_BUILD)/tests/io_tests
	$(TSAN_ENV) $(TSAN_BUILD)/tests/recovery_tests --gtest_filter='$(TSAN_RECOVERY_FILTER)'

# Each libFuzzer target for FUZZ_SECONDS, FUZZ_JOBS at a time; crashes land in
# build-asan/fuzz-crashes/<target>/.
fuzz: asan-configure
	@cmake --build $(ASAN_BUILD) -j $(JOBS) --target fuzzers
	@bash scripts/run-fuzzers $(ASAN_BUILD) $(FUZZ_SECONDS) $(FUZZ_JOBS)

clean:
	rm -rf $(BUILD) build-asan build-tsan build-fuzz
