# Zinnow: every target first installs what is missing (Debian 12), then does its work.
SHELL := /bin/bash
.SHELLFLAGS := -eu -o pipefail -c

SOURCES = $(shell git ls-files '*.cpp' '*.h' 2>/dev/null || find app capture platform tests bench -name '*.cpp' -o -name '*.h')

.PHONY: all deps build run host test test-host test-windows dist dist-check fuzz bench format \
  format-check clean

all: build

deps:
	@tools/ensure-deps.sh

# The program: build/windows/zinnow.exe
build: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows

# With a display: the program there. Without one: a short demonstration (see README). Builds
# only the program and the helper the demonstration closes it with.
run: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target zinnow clip_helper
	@tools/run.sh

host: deps
	@cmake --preset host >/dev/null
	@cmake --build --preset host
	@ln -sf build/host/compile_commands.json compile_commands.json

test: deps format-check test-host fuzz test-windows dist-check

test-host: host
	@echo "== host tests (headless backend, ASan + UBSan)"
	@ctest --preset host

test-windows: build
	@echo "== Windows tests (Win32 backend, under Wine)"
	@tools/wine-session.sh ctest --preset windows --label-exclude 'depth16|dpi144|acp1252'
	@echo "== Windows tests on a 16-bit display"
	@tools/wine-session.sh --depth 16 ctest --preset windows --label-regex depth16
	@echo "== Windows tests on a screen of 144 dpi"
	@tools/wine-session.sh --dpi 144 ctest --preset windows --label-regex dpi144
	@echo "== Windows tests with ANSI code page 1252 (LANG=C.UTF-8)"
	@tools/wine-session.sh --lang C.UTF-8 ctest --preset windows --label-regex acp1252

# The release: build/dist/zinnow-VERSION-win64.zip (the program, the read-me, the licence) and
# its SHA-256 beside it. VERSION is what `git describe` says of the commit (cmake/version.cmake).
dist: deps
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target zinnow
	@tools/dist.sh

# Two fresh clones of this commit, built apart, must give the same bytes.
dist-check: deps
	@echo "== the same bytes from two builds of the commit"
	@tools/dist-check.sh

# The history file's reader and writer under libFuzzer (clang), for a short while.
FUZZ_SECONDS ?= 10
fuzz: deps
	@echo "== fuzzing the history file ($(FUZZ_SECONDS) s)"
	@mkdir -p build/fuzz/corpus
	@clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
	  capture/history_file.cpp tests/fuzz/history_fuzz.cpp -o build/fuzz/history_fuzz
	@build/fuzz/history_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 build/fuzz/corpus \
	  2>build/fuzz/log.txt || { tail -40 build/fuzz/log.txt; exit 1; }
	@grep -E '^Done' build/fuzz/log.txt

# Figures, not checks: never part of `make test`.
bench: build
	@tools/wine-session.sh tools/bench.sh

format-check: deps
	@clang-format --dry-run --Werror $(SOURCES)

format: deps
	@clang-format -i $(SOURCES)

clean:
	rm -rf build compile_commands.json
