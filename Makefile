# Thin wrapper around CMake. `make test` and `make demo` set up a fresh Debian machine first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

DEB_PACKAGES = build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
               libsndfile1-dev libsamplerate0-dev \
               dpf-plugins-vst clang libclang-rt-14-dev \
               libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev fonts-liberation2 \
               libcairo2-dev libcurl4-openssl-dev \
               libxcb1-dev libxcb-shm0-dev libxkbcommon-x11-dev libxcb-xtest0-dev libdbus-1-dev \
               xvfb x11-utils dbus-daemon python3 \
               lv2-dev liblilv-dev lilv-utils sordi jalv jackd2 libjack-jackd2-dev liblo-dev \
               clang-format clang-tidy qtractor locales ardour
# dpf-plugins-vst: third-party VST 2 plug-ins that prove the offline host is a real host.
# clang, libclang-rt-14-dev: the libFuzzer targets (make fuzz), the ThreadSanitizer build
# (make test-tsan: the suite built by a second compiler) and their sanitizer runtimes.
# libpng, zlib, FreeType, fontconfig and the Liberation fonts: the editor's images and texts
# (the fonts are pinned: golden pictures of the editor depend on their glyphs).
# cairo: the artwork generator (tools/dev/zorq-artwork). libcurl: the update check.
# XCB, xkbcommon: the editor window on X11; libdbus: the desktop portal's file chooser.
# Xvfb, x11-utils (xdpyinfo), dbus-daemon: their tests without a display or a session
# (tools/dev/with-xvfb.sh starts a private X server when $DISPLAY is unset).
# python3: the mutation tool (make mutate).
# lv2-dev, liblilv-dev: the LV2 build and its tests (lilv hosts the plug-in there);
# lilv-utils, sordi, jalv, jackd2: the checks of the LV2 bundle with real tools (make lv2-check).
# jackd2, libjack-jackd2-dev, liblo-dev: zorq-live (JACK, and OSC for session managers);
# jackd2 also gives its tests a dummy server and the jack_* tools.
# clang-format: the house style (.clang-format), checked by make format-check.
# clang-tidy: the bugprone and performance checks (.clang-tidy), run by make tidy.
# qtractor: a CLAP host whose plug-in scanner checks ZORQ.clap (make clap-check).
# locales: the POSIX locale source the tests turn into a comma-decimal locale (localedef).
# ardour: the one Linux host in Debian that loads VST 3 plug-ins (make vst3-check; make
# lv2-check uses it too).

.PHONY: all deps configure build test test-asan test-tsan bench demo demos bank-figures install clean \
        fuzz fuzz-seeds fuzz-smoke artwork golden mutate deps-i386 test-i386 lv2-check clap-check \
        vst3-check format format-check tidy test-ratio deps-windows windows test-windows test-i386-run

all: build

# Installs missing Debian packages when run as root; otherwise only reports them.
deps:
	@missing=""; for p in $(DEB_PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	  else echo "missing packages:$$missing (run as root or install them)"; exit 1; fi; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The editor's window tests need an X server: with-xvfb.sh starts one when there is none.
WITH_DISPLAY = $(CURDIR)/tools/dev/with-xvfb.sh

test: build
	cd $(BUILD_DIR) && $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)

# The suites again under the sanitizers, each in its own build folder, in Debug so that
# the assertions run too. A sanitizer report fails the test that triggered it.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

test-asan: deps
	cmake -S . -B $(BUILD_DIR)-asan -DCMAKE_BUILD_TYPE=Debug -DZORQ_ENABLE_ASAN=ON -DZORQ_BUILD_BENCH=OFF \
	  $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-asan -j $(JOBS)
	cd $(BUILD_DIR)-asan && $(SANITIZER_ENV) $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B $(BUILD_DIR)-tsan -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DZORQ_ENABLE_TSAN=ON -DZORQ_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-tsan -j $(JOBS)
	cd $(BUILD_DIR)-tsan && $(SANITIZER_ENV) $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)

# The 32-bit x86 build (cmake/i386.cmake: gcc -m32 against Debian's i386 libraries) and
# its suite, in its own folder. deps-i386 adds the i386 architecture and installs the
# i386 libraries as root; otherwise it only reports what is missing. Debian's i386
# third-party plug-ins (dpf-plugins-vst:i386) cannot be installed beside the 64-bit ones:
# the tests that load them pass over them in this build.
DEB_PACKAGES_I386 = g++-multilib libgtest-dev:i386 libgmock-dev:i386 libbenchmark-dev:i386 \
                    libsndfile1-dev:i386 libsamplerate0-dev:i386 libpng-dev:i386 zlib1g-dev:i386 \
                    libfreetype-dev:i386 libfontconfig-dev:i386 libcairo2-dev:i386 \
                    libcurl4-openssl-dev:i386 libxcb1-dev:i386 libxcb-shm0-dev:i386 \
                    libxkbcommon-x11-dev:i386 libxcb-xtest0-dev:i386 libdbus-1-dev:i386 \
                    liblilv-dev:i386 libjack-jackd2-dev:i386 liblo7:i386
deps-i386:
	@missing=""; for p in $(DEB_PACKAGES_I386); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386; \
	    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	  else echo "missing packages:$$missing (run as root, or dpkg --add-architecture i386 and install them)"; exit 1; fi; \
	fi

# Then both builds render the bundled voice and chords: the same samples, bit for bit.
CROSS_RENDER = --modulator demo/voice.wav --midi demo/chords.mid --rate 48000 --tail 1 \
               --set "Ensemble=on" --set "Vibrato Depth=40%"
# A kernel without 32-bit support cannot run the build's programs (the build itself runs
# some, and so do its tests): the step is then skipped, with the reason.
test-i386: build deps-i386
	@mkdir -p $(BUILD_DIR)-i386 && echo 'int main(void) { return 0; }' > $(BUILD_DIR)-i386/runs32.c && \
	  gcc -m32 $(BUILD_DIR)-i386/runs32.c -o $(BUILD_DIR)-i386/runs32 && \
	  if $(BUILD_DIR)-i386/runs32 2>/dev/null; then $(MAKE) --no-print-directory test-i386-run; \
	  else echo "SKIPPED: this machine's kernel does not run 32-bit x86 programs; the 32-bit build and its suite were not run"; fi

test-i386-run:
	cmake -S . -B $(BUILD_DIR)-i386 -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/i386.cmake $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-i386 -j $(JOBS)
	cd $(BUILD_DIR)-i386 && $(WITH_DISPLAY) ctest --output-on-failure -j $(JOBS)
	for b in $(BUILD_DIR) $(BUILD_DIR)-i386; do \
	  $$b/zorq-render --plugin $$b/ZORQ.so $(CROSS_RENDER) --output $$b/cross-render.wav || exit 1; \
	done
	@cmp $(BUILD_DIR)/cross-render.wav $(BUILD_DIR)-i386/cross-render.wav || \
	  { echo "The 32-bit build renders other samples than the 64-bit build (see cmake/i386.cmake)"; exit 1; }
	@echo "The 64-bit and the 32-bit build render the same samples."

# 64-bit Windows, cross-built with mingw-w64 (cmake/mingw-w64-x86_64.cmake) into its own
# folder and tested under Wine. deps-windows installs the cross compilers, Wine, mingw's
# zlib and what cmake/windows/libraries.sh needs to build libpng, FreeType and
# GoogleTest from Debian's sources (dpkg-dev unpacks them); as root, else it reports.
# The factory bank is built by the build machine's own zorq-bank (same bytes), and its
# zorq-render and ZORQ.so render the reference of the Windows render test. The
# suite's programs run through cmake/windows/wine-run.sh, whose Wine prefix and server
# live in the build folder; the server is ended when the target is done.
DEB_PACKAGES_WINDOWS = g++-mingw-w64-x86-64-posix wine wine64 libz-mingw-w64-dev googletest \
                       fonts-liberation2 dpkg-dev
WINDOWS_DIR = $(BUILD_DIR)-windows
STOP_WINE = WINEPREFIX=$(abspath $(WINDOWS_DIR))/wine /usr/lib/wine/wineserver -k 2>/dev/null || true
deps-windows:
	@missing=""; for p in $(DEB_PACKAGES_WINDOWS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y $$missing; \
	  else echo "missing packages:$$missing (run as root or install them)"; exit 1; fi; \
	fi

windows: deps deps-windows
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zorq-bank zorq-render zorq_plugin
	JOBS=$(JOBS) cmake/windows/libraries.sh $(WINDOWS_DIR)/windows-libraries
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	  -DZORQ_BANK_TOOL=$(abspath $(BUILD_DIR))/zorq-bank -DZORQ_HOST_BUILD=$(abspath $(BUILD_DIR)) \
	  $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) || { $(STOP_WINE); exit 1; }
	@$(STOP_WINE)

test-windows: windows
	cd $(WINDOWS_DIR) && ctest --output-on-failure -j $(JOBS); status=$$?; $(STOP_WINE); exit $$status

# The house style (.clang-format) on every C++ file in the repository: format rewrites
# them, format-check fails on the first file that differs.
FORMAT_FILES = git ls-files '*.cpp' '*.h' '*.inc' ':!:tests/layering/*'
format: deps
	$(FORMAT_FILES) | xargs clang-format -i
format-check: deps
	$(FORMAT_FILES) | xargs clang-format --dry-run -Werror
	@echo "Every C++ file is in the house style."

# clang-tidy with .clang-tidy (tests/.clang-tidy for the tests) on every C++ file of
# src, tools, tests and bench compiled in the build folder (its compile_commands.json);
# fails on the first finding. About 15 minutes of processor time: not part of CI.
# The compile commands come from the GCC build: clang reads its -Wconversion as also
# flagging every change of sign, which GCC's does not (the house rule is GCC's).
tidy: configure
	run-clang-tidy -quiet -j $(JOBS) -p $(BUILD_DIR) -extra-arg=-Wno-sign-conversion \
	  '$(CURDIR)/(src|tools|tests|bench)/'
	@echo "clang-tidy finds nothing in src, tools, tests and bench."

# Test code against product code (docs/DEVELOPING.md): fails above TEST_RATIO_LIMIT percent.
TEST_RATIO_LIMIT ?= 35
test-ratio:
	tools/dev/test-ratio.sh $(TEST_RATIO_LIMIT)

# Release build of the benchmarks only, in its own folder.
# BENCH_FILTER: a regular expression that picks benchmarks (all by default).
BENCH_FILTER ?= .
bench: deps
	cmake -S . -B $(BUILD_DIR)-bench -DCMAKE_BUILD_TYPE=Release -DZORQ_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target zorq_dsp_bench zorq_framework_bench zorq_bench \
	  zorq_clap_bench
	$(BUILD_DIR)-bench/bench/zorq_dsp_bench --benchmark_filter='$(BENCH_FILTER)'
	$(BUILD_DIR)-bench/bench/zorq_framework_bench --benchmark_filter='$(BENCH_FILTER)'
	$(BUILD_DIR)-bench/bench/zorq_bench --benchmark_filter='$(BENCH_FILTER)'
	$(BUILD_DIR)-bench/bench/zorq_clap_bench --benchmark_filter='$(BENCH_FILTER)'

# The demo: the bundled voice (demo/voice.wav) through the bundled chord progression
# (demo/chords.mid, made by demo/make_chords.py), rendered offline by zorq-render.
DEMO_PLUGIN ?= $(BUILD_DIR)/ZORQ.so
DEMO_OUTPUT ?= demo/out/zorq-demo.wav
DEMO_SETTINGS ?= --set "Vocoder Mode=VE-10 Full Bands" --set "Final Volume=-6 dB" --set "Ensemble=on"

demo: build
	@mkdir -p $(dir $(DEMO_OUTPUT))
	$(BUILD_DIR)/zorq-render --plugin $(DEMO_PLUGIN) --modulator demo/voice.wav \
	  --midi demo/chords.mid --rate 44100 --tail 1.5 $(DEMO_SETTINGS) --output $(DEMO_OUTPUT)
	@echo ""
	@echo "Demo rendered: $(abspath $(DEMO_OUTPUT))"
	@echo "Install the plug-in for your hosts: make install (puts ZORQ.so into ~/.vst,"
	@echo "ZORQ.clap into ~/.clap, ZORQ.vst3 into ~/.vst3 and zorq-render into ~/.local/bin),"
	@echo "or copy $(abspath $(DEMO_PLUGIN)) into a folder your host scans"
	@echo "(~/.vst, /usr/local/lib/vst, /usr/lib/vst, or one named by VST_PATH / LXVST_PATH)."

# Factory programs rendered from the bundled voice and chords into demo/out/, one file
# each named after the program; DEMO_CARRIER_PROGRAMS vocode demo/carrier.wav on inputs
# 3-4. HOME points at a scratch folder, so a startup bank of your own does not replace
# the factory bank.
DEMO_PROGRAMS ?= 1 2 9 12 17 20 25 31 33 35 38 44 47
DEMO_CARRIER_PROGRAMS ?= 52 55
demos: build
	@mkdir -p demo/out
	@home=$$(mktemp -d); trap 'rm -rf "$$home"' EXIT; \
	for n in $(DEMO_PROGRAMS) $(DEMO_CARRIER_PROGRAMS); do \
	  carrier=; case " $(DEMO_CARRIER_PROGRAMS) " in *" $$n "*) carrier="--carrier demo/carrier.wav";; esac; \
	  name=$$(HOME=$$home $(BUILD_DIR)/zorq-render --plugin $(DEMO_PLUGIN) --list-programs | \
	    awk -v n=$$n '$$1 == n { $$1 = ""; print }' | tr -cs 'A-Za-z0-9' '-' | tr 'A-Z' 'a-z' | sed 's/^-//; s/-$$//'); \
	  output=demo/out/$$(printf '%02d' $$n)-$$name.wav; \
	  HOME=$$home $(BUILD_DIR)/zorq-render --plugin $(DEMO_PLUGIN) --program $$n --modulator demo/voice.wav \
	    --midi demo/chords.mid $$carrier --rate 44100 --tail 1.5 -q --output $$output || exit 1; \
	  echo "$$output"; \
	done

# Measures every factory program of the built plug-in and rewrites the committed figure
# table; lists (and fails on) whatever makes the bank unfit to ship.
bank-figures: build
	$(BUILD_DIR)/zorq-bank-figures --plugin $(DEMO_PLUGIN) --source resources/factory-bank.txt \
	  --voice demo/voice.wav --midi demo/chords.mid --carrier demo/carrier.wav \
	  --output resources/factory-bank-figures.txt

# Writes the test suite's reference files again (tests/golden: the editor's pictures, the
# cross-build byte images, the golden program files) after an intended change; no test
# run writes them. Look at the pictures and `git diff --stat` before committing.
golden: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target zorq_golden_writer
	$(BUILD_DIR)/tests/golden/zorq_golden_writer
	@git status --short -- tests/editor/data tests/engine/data tests/framework/data

# Redraws the editor's pictures into resources/img with tools/dev/zorq-artwork, and writes
# preview composites of both views into $(BUILD_DIR)-artwork/preview for a look.
artwork: deps
	cmake -S . -B $(BUILD_DIR)-artwork $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-artwork -j $(JOBS) --target zorq-artwork
	@mkdir -p resources/img $(BUILD_DIR)-artwork/preview
	$(BUILD_DIR)-artwork/tools/dev/zorq-artwork/zorq-artwork --output resources/img \
	  --preview $(BUILD_DIR)-artwork/preview
	@echo "Pictures: resources/img; previews: $(BUILD_DIR)-artwork/preview"

# Installs the plug-in where Linux hosts look for VST 2 plug-ins (VST_DIR) and CLAP
# plug-ins (CLAP_DIR), and the offline host where the shell finds commands (BIN_DIR).
# By default ~/.vst, ~/.clap and ~/.local/bin; PREFIX=/usr/local gives
# /usr/local/lib/vst, /usr/local/lib/clap and /usr/local/bin.
PREFIX ?= $(HOME)/.local
BIN_DIR ?= $(PREFIX)/bin
VST_DIR ?= $(if $(filter $(HOME)/.local,$(PREFIX)),$(HOME)/.vst,$(PREFIX)/lib/vst)
CLAP_DIR ?= $(if $(filter $(HOME)/.local,$(PREFIX)),$(HOME)/.clap,$(PREFIX)/lib/clap)
# The LV2 bundle goes to LV2_DIR: ~/.lv2 by default, $(PREFIX)/lib/lv2 with a PREFIX.
LV2_DIR ?= $(if $(filter $(HOME)/.local,$(PREFIX)),$(HOME)/.lv2,$(PREFIX)/lib/lv2)
# The VST 3 bundle goes to VST3_DIR: ~/.vst3 by default, $(PREFIX)/lib/vst3 with a PREFIX
# (a real copy: some hosts pass over linked bundles).
VST3_DIR ?= $(if $(filter $(HOME)/.local,$(PREFIX)),$(HOME)/.vst3,$(PREFIX)/lib/vst3)
# zorq-live goes to BIN_DIR with its desktop entry and icon under $(PREFIX)/share.
SHARE_DIR ?= $(PREFIX)/share
install: build
	install -d $(VST_DIR) $(CLAP_DIR) $(BIN_DIR) $(LV2_DIR)/ZORQ.lv2 $(SHARE_DIR)/applications \
	  $(VST3_DIR)/ZORQ.vst3/Contents/$(shell uname -m)-linux $(VST3_DIR)/ZORQ.vst3/Contents/Resources \
	  $(SHARE_DIR)/icons/hicolor/256x256/apps
	install -m 0755 $(BUILD_DIR)/ZORQ.so $(VST_DIR)/ZORQ.so
	install -m 0755 $(BUILD_DIR)/ZORQ.clap $(CLAP_DIR)/ZORQ.clap
	install -m 0755 $(BUILD_DIR)/ZORQ.vst3/Contents/$(shell uname -m)-linux/ZORQ.so \
	  $(VST3_DIR)/ZORQ.vst3/Contents/$(shell uname -m)-linux/ZORQ.so
	install -m 0644 $(BUILD_DIR)/ZORQ.vst3/Contents/Resources/moduleinfo.json \
	  $(VST3_DIR)/ZORQ.vst3/Contents/Resources/moduleinfo.json
	install -m 0755 $(BUILD_DIR)/zorq-render $(BIN_DIR)/zorq-render
	install -m 0755 $(BUILD_DIR)/ZORQ.lv2/ZORQ_dsp.so $(BUILD_DIR)/ZORQ.lv2/ZORQ_ui.so $(LV2_DIR)/ZORQ.lv2/
	install -m 0644 $(BUILD_DIR)/ZORQ.lv2/*.ttl $(LV2_DIR)/ZORQ.lv2/
	install -m 0755 $(BUILD_DIR)/zorq-live $(BIN_DIR)/zorq-live
	install -m 0644 tools/programs/zorq-live/zorq-live.desktop $(SHARE_DIR)/applications/zorq-live.desktop
	install -m 0644 $(BUILD_DIR)/zorq-live.png $(SHARE_DIR)/icons/hicolor/256x256/apps/zorq-live.png
	@echo "Installed $(VST_DIR)/ZORQ.so, $(CLAP_DIR)/ZORQ.clap, $(LV2_DIR)/ZORQ.lv2, $(VST3_DIR)/ZORQ.vst3,"
	@echo "$(BIN_DIR)/zorq-render"
	@echo "and $(BIN_DIR)/zorq-live (with $(SHARE_DIR)/applications/zorq-live.desktop and its icon)"

# The LV2 bundle of the build folder checked with the LV2 tools (tools/dev/lv2-check.sh).
lv2-check: build
	tools/dev/lv2-check.sh $(BUILD_DIR)/ZORQ.lv2

# ZORQ.clap of the build folder as Qtractor's plug-in scanner sees it (tools/dev/clap-check.sh):
# listed with its ports and an editor. Skipped, with a message, without Qtractor.
clap-check: build
	tools/dev/clap-check.sh $(BUILD_DIR)/ZORQ.clap

# The VST 3 bundle of the build folder checked with real tools: its layout and exports,
# its moduleinfo.json, and Ardour 7 headless (tools/dev/vst3-check.sh).
vst3-check: build
	tools/dev/vst3-check.sh $(BUILD_DIR)/ZORQ.vst3

# libFuzzer targets: a clang build with coverage, AddressSanitizer and UBSan.
FUZZ_BUILD_DIR ?= $(BUILD_DIR)-fuzz
FUZZ_TARGETS = chunk program_files wav ini midi png midi_file
FUZZ_SECONDS ?= 30
FUZZ_FLAGS ?= -rss_limit_mb=2048 -timeout=10 -print_final_stats=1

fuzz: deps
	cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DZORQ_ENABLE_FUZZ=ON
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS)

# Regenerates the committed seed corpora (fuzz/corpus/<target>/) from the plug-in.
fuzz-seeds: fuzz
	rm -rf fuzz/corpus
	$(FUZZ_BUILD_DIR)/fuzz/zorq_make_seeds fuzz/corpus

# Replays the saved regression inputs, then runs every target for FUZZ_SECONDS on a
# scratch copy of its committed corpus (the repository stays clean). Crashing inputs
# land in $(FUZZ_BUILD_DIR)/artifacts/. Scratch files go to /dev/shm when it exists.
fuzz-smoke: SHELL := /bin/bash
fuzz-smoke: fuzz
	@set -eo pipefail; mkdir -p $(FUZZ_BUILD_DIR)/artifacts; \
	scratch=$$(mktemp -d $$( [ -d /dev/shm ] && echo /dev/shm || echo $${TMPDIR:-/tmp})/zorq-fuzz-smoke-XXXXXX); \
	trap 'rm -rf "$$scratch"' EXIT; \
	for t in $(FUZZ_TARGETS); do \
	  if ls fuzz/regressions/$$t/* >/dev/null 2>&1; then \
	    echo "== fuzz_$$t: regression inputs"; \
	    TMPDIR=$$scratch $(FUZZ_BUILD_DIR)/fuzz/fuzz_$$t $(FUZZ_FLAGS) fuzz/regressions/$$t/*; \
	  fi; \
	  echo "== fuzz_$$t: $(FUZZ_SECONDS) s on fuzz/corpus/$$t"; \
	  mkdir -p $$scratch/corpus-$$t; cp fuzz/corpus/$$t/* $$scratch/corpus-$$t/; \
	  TMPDIR=$$scratch $(FUZZ_BUILD_DIR)/fuzz/fuzz_$$t $(FUZZ_FLAGS) -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(abspath $(FUZZ_BUILD_DIR))/artifacts/$$t- $$scratch/corpus-$$t \
	    2>&1 | { grep -v -E '^#[0-9]+\s+(NEW|REDUCE|pulse)' || true; }; \
	done

# Plants each bug of tools/dev/mutate/mutants.txt in turn in a scratch copy of the working tree
# ($(BUILD_DIR)-mutate; the tree itself is never written), rebuilds it in Debug and runs
# the suite; prints killed or survived for each and the kill rate.
# MUTANTS: a regular expression that picks mutants by name (all by default).
# MUTATE_TIMEOUT: seconds for one mutant's test run.
MUTANTS ?= .
MUTATE_TIMEOUT ?= 600
mutate: deps
	python3 tools/dev/mutate/mutate.py --scratch $(BUILD_DIR)-mutate --jobs $(JOBS) --keep-going \
	  --timeout $(MUTATE_TIMEOUT) --select '$(MUTANTS)'

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-asan $(BUILD_DIR)-tsan $(BUILD_DIR)-mutate \
	  $(BUILD_DIR)-i386 $(FUZZ_BUILD_DIR)
