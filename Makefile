# The project's commands. Each installs the Debian packages it needs first
# (scripts/install-deps.sh, as root) and then builds what it uses.
.PHONY: all deps native win32 run run-wine test install fuzz soak bench clean

all: native win32

deps:
	@bash scripts/install-deps.sh

native: deps
	@cmake --preset native >/dev/null
	@cmake --build --preset native

win32: deps
	@cmake --preset win32-i686 >/dev/null
	@cmake --build --preset win32-i686
	@cmake --preset win32-x86_64 >/dev/null
	@cmake --build --preset win32-x86_64

# Plays the show: see README.md.
run: deps
	@bash scripts/run.sh

# Starts the 64-bit .scr full screen (/s) under wine64 on the current DISPLAY,
# in the build's own Wine prefix; any key, click or mouse movement ends it.
run-wine: deps
	@cmake --preset win32-x86_64 >/dev/null
	@cmake --build --preset win32-x86_64
	@QUORVELIN_WINEPREFIX=$(CURDIR)/build/win32-x86_64/wineprefix bash tests/win32/wine-run.sh $(CURDIR)/build/win32-x86_64/Quorvelin.scr /s

# Builds all three presets and runs every test tier.
test: deps
	@bash scripts/test.sh

# Installs the Linux program as a screen-saver hack (see README.md):
# $(PREFIX)/libexec/xscreensaver/quorvelin, its settings description and desktop entry.
PREFIX ?= /usr
install: native
	@cmake --install build/native --prefix $(PREFIX)

# Runs each fuzz target (command line, mesh text, BMP reader) for FUZZ_SECONDS.
FUZZ_SECONDS ?= 300
fuzz: deps
	@bash tests/fuzz/run.sh $(FUZZ_SECONDS)

# Plays SOAK_FRAMES frames offscreen under LeakSanitizer and prints one summary line.
SOAK_FRAMES ?= 1000000
soak: deps
	@bash tests/soak/run.sh $(SOAK_FRAMES)

# Builds the native and Windows presets and prints the performance table
# that docs/performance.md holds (bench/run.sh); takes a few minutes.
bench: deps
	@bash bench/run.sh

clean:
	rm -rf build out
