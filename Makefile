# Letrazul's top-level commands. Each installs what it needs first (apt-get).
PRESETS := native win64 win32

.PHONY: all deps build test test32 versions sound bench play install uninstall dist soak stress faults fuzz coverage lint picture words web clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	@set -e; for preset in $(PRESETS); do \
	  cmake --preset $$preset >/dev/null && cmake --build --preset $$preset; \
	done

# Installs what is missing itself, then builds and checks step by step, the quickest first.
test:
	@bash tools/run-tests.sh

# Only the shipped 32-bit build's tests, under Wine's 32-bit half (part of make test).
test32: build
	@bash tools/run-win32-tests.sh

# The shipped 32-bit game's whole tour as Windows XP, 7 and 10, as Wine tells programs (three
# 32-bit starts); make test plays it as XP only.
versions: build
	@bash tools/run-win32-tests.sh winxp win7 win10

# The game's sounds found in a recording of what it plays, the 64-bit twin's and the shipped game's.
sound: build
	@cd build/win64 && ctest -L sound --output-on-failure -V
	@bash tools/run-win32-tests.sh sound

bench: deps
	@bash tools/run-bench.sh

# The game on your display under Wine, or a scripted round kept in build/play/ where there is none.
# It installs only what playing needs.
play:
	@bash tools/play.sh

# The game in a web page: the site built into build/web/site and served on http://localhost:8080/
# (PORT=... for another port).
web:
	@bash tools/web.sh

# The game in your desktop's menu, in XDG_DATA_HOME (~/.local/share), or out of it again.
install:
	@bash tools/play.sh install

uninstall:
	@bash tools/play.sh uninstall

# clang-tidy and cppcheck over every source; any finding fails.
lint: deps
	@bash tools/run-lint.sh

# Line coverage of game/ and runtime/text by the native tests (make test reports it too).
coverage: deps
	@bash tools/run-coverage.sh

# Each fuzz target for FUZZ_SECONDS (ten minutes unless given).
FUZZ_SECONDS ?= 600
fuzz: deps
	@bash tools/run-fuzz.sh $(FUZZ_SECONDS)

# The real game played for 20,000 presses under Wine (about half an hour).
# Against the counted game, which publishes what the runtime holds: the soak checks that too.
soak: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 --target soak_tests letrazul_counted
	@LETRAZUL_SOAK_PRESSES=20000 LETRAZUL_GAME="Z:$(CURDIR)/build/win64/tests/letrazul_counted.exe" \
	  tools/wine-run.sh build/win64/wine build/win64/tests/soak_tests.exe
	@tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true

# The leak and exhaustion tests at their full counts under Wine (make test runs fewer rounds): 40,000
# pictures, 20,000 frames, 1,000 dialogs, every unusable word list tried to its end, and the whole
# tour of the game in one process.
stress: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64
	@cd build/win64 && LETRAZUL_STRESS=1 ctest --output-on-failure -R 'canvas_tests|host_tests|screen_pixels_tests|word_list_tests'
	@LETRAZUL_STRESS=1 tools/wine-run.sh build/win64/wine build/win64/tests/play_tests.exe --gtest_brief=1 \
	  --gtest_filter=PlayTest.TheWholeTourInOneProcess
	@tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true

# The game played with each kind of system call failing in turn, once and from there on: every call
# of a kind that makes at most 64, else 64 spread over them (hours; FAULT_SPREAD=16 for less).
FAULT_SPREAD ?= 64
faults: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 --target fault_sweep_tests
	@LETRAZUL_FAULT_SWEEP=full LETRAZUL_FAULT_SPREAD=$(FAULT_SPREAD) \
	  tools/wine-run.sh build/win64/wine build/win64/tests/fault_sweep_tests.exe
	@tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true

dist: deps
	@bash tools/dist.sh

# The README's pictures: under Wine, a frame of a game in progress composed by the game's screen
# code and the real program's window in the middle of a round; in headless chromium, the web page.
picture: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 --target capture_frame
	@mkdir -p docs
	@status=0; tools/wine-run.sh build/win64/wine build/win64/tools/capture_frame.exe docs/frame.png \
	  docs/window.png || status=$$?; \
	tools/wine-session.sh stop build/win64/wine >/dev/null 2>&1 || true; \
	[ $$status -eq 0 ] && ls -l docs/frame.png docs/window.png; exit $$status
	@NODE_PATH=/usr/share/nodejs cmake --preset web >/dev/null && NODE_PATH=/usr/share/nodejs cmake --build --preset web
	@tools/web-modules.sh && node tools/web-picture.mjs docs/web.png

# data/dic.txt made again from its pinned sources (wspanish, the npm packages of tools/word-sources)
# and the exclusion lists in data/exclusions; the tool reports what each rule removed.
words: deps
	@cmake --preset native >/dev/null && cmake --build --preset native --target make_word_list
	@tools/word-sources.sh fetch
	@build/native/tools/make_word_list $$(tools/word-sources.sh flags) data/dic.txt

clean:
	rm -rf build dist
