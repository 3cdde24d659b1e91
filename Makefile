# Lexordo: `make run` and `make test` do all the set-up on a fresh Debian machine.

BUILD    ?= build
DATABASE := $(BUILD)/advocate_v2.mdb
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build database run install test test-asan bench package fuzz tidy \
        format format-check clean

all: build

deps:
	./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

database: build
	@test -f $(DATABASE) || $(BUILD)/lexordo --create-database $(DATABASE)

run: database
	$(BUILD)/lexordo

# The program, its menu entry and icons under PREFIX (~/.local/bin is on the
# PATH of a Debian login once it exists).
PREFIX ?= $(HOME)/.local

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

test: database
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The tests once more, built with AddressSanitizer and UBSan in a build folder
# of their own. Warnings are the ordinary build's business: GCC warns falsely
# about instrumented code, so -Werror is off here.
ASAN_BUILD ?= build-asan
SANITIZER_DIR := $(CURDIR)/tests/sanitizers

$(ASAN_BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(ASAN_BUILD) -DLEXORDO_SANITIZE=ON -DLEXORDO_WERROR=OFF \
	    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1"

test-asan: $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1 \
	    LSAN_OPTIONS=suppressions=$(SANITIZER_DIR)/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure -j $(JOBS)

package: build
	cmake --build $(BUILD) --target package

bench: build
	./bench/run.sh $(BUILD)

# Fuzzing is an extra: clang and its runtime come with `install-deps.sh --fuzz`.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60

fuzz:
	./scripts/install-deps.sh --fuzz
	CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DLEXORDO_FUZZ=ON -DBUILD_TESTING=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_dates fuzz_amounts fuzz_filter
	./tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# clang-tidy with the checks of .clang-tidy over every source file of src/,
# compiled as the build compiles it (the build's compile_commands.json).
tidy: build
	./scripts/install-deps.sh --tools
	run-clang-tidy -quiet -p $(BUILD) -j $(JOBS) '^$(CURDIR)/src/.*\.cpp$$'

# One .clang-format governs the tree; format-check lists the files that differ.
format:
	./scripts/install-deps.sh --tools
	find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format -i

format-check:
	./scripts/install-deps.sh --tools
	./scripts/format-check.sh

clean:
	rm -rf $(BUILD)
