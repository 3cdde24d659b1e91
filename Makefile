# Lexordo: `make run` and `make test` do all the set-up on a fresh Debian machine.

BUILD    ?= build
DATABASE := $(BUILD)/advocate_v2.mdb
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build database run install test bench package fuzz format clean

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

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
