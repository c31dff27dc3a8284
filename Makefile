# Two entry points for a fresh machine: `make tour` and `make test`.
# Each installs what it needs from Debian's packages first.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 5
CMAKE_GEN := -G Ninja

export ASAN_OPTIONS ?= detect_leaks=1:abort_on_error=0:strict_string_checks=1
export UBSAN_OPTIONS ?= print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS ?= halt_on_error=1:second_deadlock_stack=1

# $(call stage,<target>): runs `make <target>` and prints its wall time.
define stage
	@start=$$(date +%s); $(MAKE) --no-print-directory $(1); status=$$?; \
	  echo "stage $(1): $$(( $$(date +%s) - start ))s$$( [ $$status -eq 0 ] || echo ", FAILED")"; \
	  exit $$status
endef

.PHONY: deps tour test test-asan test-tsan test-opt test-fuzz bench docs clean

deps:
	bash scripts/install-deps.sh

# A release build of the library and the tour, then the tour itself.
tour: deps
	cmake -S . -B build/release $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_BUILD_TESTS=OFF
	cmake --build build/release --target tour -j $(JOBS)
	./build/release/examples/tour

# The whole suite: AddressSanitizer + UndefinedBehaviorSanitizer build of
# every test (each case its own CTest test, the fuzz corpora replayed, the
# installed libraries checked), ThreadSanitizer build of the concurrency
# tests, an optimised build of every test with -Werror, a few seconds of
# each fuzz target.
test:
	$(call stage,deps)
	$(call stage,test-asan)
	$(call stage,test-tsan)
	$(call stage,test-opt)
	$(call stage,test-fuzz)

test-asan:
	cmake -S . -B build/asan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O0" \
	  -DVANTREL_BUILD_TESTS=ON -DVANTREL_SANITIZE=address,undefined
	cmake --build build/asan -j $(JOBS)
	cd build/asan && ctest --output-on-failure -j $(JOBS)

test-tsan:
	cmake -S . -B build/tsan $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g1 -O0" \
	  -DVANTREL_BUILD_TESTS=ON -DVANTREL_SANITIZE=thread -DVANTREL_CONCURRENCY_ONLY=ON
	cmake --build build/tsan -j $(JOBS)
	cd build/tsan && ctest --output-on-failure -j $(JOBS) -L concurrency

# -O2 with assertions (no NDEBUG, libstdc++'s checks on), no debug
# information: warnings and undefined behaviour that only optimisation
# brings out. The package tests run here too: programs built as users
# build them (Release, --as-needed, g++ and clang++) against optimised
# libraries without a sanitizer, where a use of freed memory at exit shows
# as the crash a user meets.
test-opt:
	cmake -S . -B build/opt $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g0 -D_GLIBCXX_ASSERTIONS" -DVANTREL_WERROR=ON \
	  -DVANTREL_BUILD_TESTS=ON
	cmake --build build/opt -j $(JOBS)
	cd build/opt && ctest --output-on-failure -j $(JOBS)

test-fuzz:
	cmake -S . -B build/fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++-14 -DVANTREL_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)
	JOBS=$(JOBS) bash scripts/run-fuzzers.sh build/fuzz/fuzz $(FUZZ_SECONDS)

bench: deps
	bash scripts/install-deps.sh --bench
	cmake -S . -B build/bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DVANTREL_BUILD_TESTS=OFF \
	  -DVANTREL_BUILD_EXAMPLES=OFF -DVANTREL_BUILD_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	@mkdir -p build/bench/results; failed=""; \
	for b in build/bench/bench/*_bench; do \
	  [ -x "$$b" ] || continue; name=$$(basename "$$b"); out="build/bench/results/$$name.json"; \
	  "$$b" --benchmark_out="$$out" --benchmark_out_format=json || failed="$$failed $$name"; \
	  if grep -q '"error_occurred": true' "$$out" 2>/dev/null; then failed="$$failed $$name(errors)"; fi; \
	done; \
	if [ -n "$$failed" ]; then echo "benchmarks failed:$$failed"; exit 1; fi

# The API reference from the header comments: build/docs/html/index.html.
docs:
	bash scripts/install-deps.sh --docs
	doxygen Doxyfile
	@echo "docs: build/docs/html/index.html"

clean:
	rm -rf build
