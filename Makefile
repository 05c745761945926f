# Letrazul's top-level commands. Each installs what it needs first (apt-get).
PRESETS := native win64 win32

.PHONY: all deps build test test32 versions bench play dist soak fuzz coverage lint picture clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	@set -e; for preset in $(PRESETS); do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset; \
	done

test: build
	@bash tools/run-tests.sh

# Only the shipped 32-bit build's tests, under Wine's 32-bit half (part of make test).
test32: build
	@bash tools/run-win32-tests.sh

# The shipped 32-bit game's whole tour as Windows XP, 7 and 10, as Wine tells programs (three
# 32-bit starts); make test plays it as XP only.
versions: build
	@bash tools/run-win32-tests.sh winxp win7 win10

bench: deps
	@bash tools/run-bench.sh

play: deps
	@bash tools/play.sh

# clang-tidy and cppcheck over every source; any finding fails.
lint: deps
	@bash tools/run-lint.sh

# Line coverage of game/ and runtime/text by the native tests.
coverage: deps
	@bash tools/run-coverage.sh

# Each fuzz target for FUZZ_SECONDS (ten minutes unless given).
FUZZ_SECONDS ?= 600
fuzz: deps
	@bash tools/run-fuzz.sh $(FUZZ_SECONDS)

# The real game played for 20,000 presses under Wine (about half an hour).
soak: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 --target soak_tests
	@LETRAZUL_SOAK_PRESSES=20000 tools/wine-run.sh build/win64/wine build/win64/tests/soak_tests.exe
	@tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true

dist: deps
	@bash tools/dist.sh

# The README's picture of a game in progress, composed by the game's screen code under Wine.
picture: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 --target capture_frame
	@mkdir -p docs
	@tools/wine-run.sh build/win64/wine build/win64/tools/capture_frame.exe docs/frame.png
	@tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true
	@echo "docs/frame.png"

clean:
	rm -rf build dist
