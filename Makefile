# The project's commands. Each installs the Debian packages it needs first
# (scripts/install-deps.sh with the groups of scripts/packages/, as root) and
# then builds only what it runs, installs or packs.
.PHONY: all deps native win32 web run run-wine test references install uninstall dist fuzz soak bench clean

DEPS = @bash scripts/install-deps.sh

all: native win32

# Every package group.
deps:
	$(DEPS)

# The native build with its tests.
native:
	$(DEPS) build linux player test
	@cmake --preset native >/dev/null
	@cmake --build --preset native

win32:
	$(DEPS) build windows
	@cmake --preset win32-i686 >/dev/null
	@cmake --build --preset win32-i686
	@cmake --preset win32-x86_64 >/dev/null
	@cmake --build --preset win32-x86_64

# The show in a browser: build/web/site/ holds the page, its script and
# module; serve that folder (README.md) and open it.
web:
	$(DEPS) build web
	@cmake --preset web >/dev/null
	@cmake --build --preset web
	@echo "make web: the page is in build/web/site/ (serve it: cd build/web/site && python3 -m http.server)"

# Plays the show: see README.md.
run:
	$(DEPS) build linux player
	@bash scripts/run.sh

# Plays the product, the 32-bit .scr, full screen (/s) under 32-bit Wine on the
# current DISPLAY, in its build's own Wine prefix; WINE_BITS=64 plays the 64-bit
# twin under wine64. Any key, click or mouse movement ends it. Where the kernel
# runs no 32-bit programs it says so before installing or building anything.
WINE_BITS ?= 32
WINE_PRESET = $(if $(filter 64,$(WINE_BITS)),win32-x86_64,win32-i686)
run-wine:
	@if [ "$(WINE_BITS)" != 64 ]; then reason=$$(bash tests/win32/wine-run.sh 32 --check 2>/dev/null) || \
	  { [ $$? -ne 77 ] || { echo "make run-wine: nothing built or played: $${reason#wine-run.sh: skipped: }"; exit 1; }; }; fi
	$(DEPS) build windows wine $(if $(filter 64,$(WINE_BITS)),,wine32)
	@cmake --preset $(WINE_PRESET) >/dev/null
	@cmake --build --preset $(WINE_PRESET)
	@QUORVELIN_WINEPREFIX=$(CURDIR)/build/$(WINE_PRESET)/wineprefix \
	  bash tests/win32/wine-run.sh $(WINE_BITS) $(CURDIR)/build/$(WINE_PRESET)/Quorvelin.scr /s

# Builds all presets and runs every test tier, the release packages' checks included.
test:
	$(DEPS) build linux player windows wine wine32 test fuzz dist web
	@bash scripts/test.sh

# After an intended change to the show: renders the reference frames again
# (tests/render/reference/) and writes, for each frame that moved, the old
# frame, the new one and their difference side by side to out/reference-diff/.
references:
	$(DEPS) build linux player test
	@cmake --preset native >/dev/null
	@cmake --build --preset native --target quorvelin-render
	@rm -rf out/reference-diff
	@/usr/bin/python3 tests/render/reference_frames.py --update --diff-dir out/reference-diff \
	  --player build/native/host/offscreen/quorvelin-render

# Installs the Linux program as a screen-saver hack (see README.md):
# $(PREFIX)/libexec/xscreensaver/quorvelin, its settings description and desktop
# entry; make uninstall PREFIX=... removes exactly those again.
PREFIX ?= /usr
install:
	$(DEPS) build linux
	@cmake --preset linux >/dev/null
	@cmake --build --preset linux
	@bash scripts/install.sh install "$(PREFIX)"

uninstall:
	@bash scripts/install.sh uninstall "$(PREFIX)"

# The release packages in dist/: the Windows zip and MSI, the Debian package, the web page's zip.
dist:
	$(DEPS) build linux windows dist web
	@bash packaging/dist.sh

# Fuzzes the .scr's command-line scanner for FUZZ_SECONDS.
FUZZ_SECONDS ?= 300
fuzz:
	$(DEPS) build linux player fuzz
	@bash tests/fuzz/run.sh $(FUZZ_SECONDS)

# Plays SOAK_FRAMES frames offscreen under LeakSanitizer and prints one summary line.
SOAK_FRAMES ?= 1000000
soak:
	$(DEPS) build linux player test
	@bash tests/soak/run.sh $(SOAK_FRAMES)

# Builds the native and Windows presets and prints the performance table
# that docs/performance.md holds (bench/run.sh); takes a few minutes.
bench:
	$(DEPS) build linux player test windows wine bench
	@bash bench/run.sh

# Keeps make install's records (build/linux/installed), so make uninstall still works.
clean:
	rm -rf out dist
	@find build build/linux -mindepth 1 -maxdepth 1 ! -path build/linux ! -path build/linux/installed \
	  -exec rm -rf {} + 2>/dev/null || true
