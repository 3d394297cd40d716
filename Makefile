# Thin wrapper around CMake. `make test` and `make demo` set up a fresh Debian machine first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

DEB_PACKAGES = build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
               libsndfile1-dev libsamplerate0-dev \
               dpf-plugins-vst
# dpf-plugins-vst: third-party VST 2 plug-ins that prove the offline host is a real host.

.PHONY: all deps configure build test test-asan test-tsan bench demo install clean

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

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The suites again under the sanitizers, each in its own build folder. A sanitizer
# report fails the test that triggered it.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1

test-asan: deps
	cmake -S . -B $(BUILD_DIR)-asan -DZORQ_ENABLE_ASAN=ON -DZORQ_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-asan -j $(JOBS)
	cd $(BUILD_DIR)-asan && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B $(BUILD_DIR)-tsan -DZORQ_ENABLE_TSAN=ON -DZORQ_BUILD_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR)-tsan -j $(JOBS)
	cd $(BUILD_DIR)-tsan && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake -S . -B $(BUILD_DIR)-bench -DCMAKE_BUILD_TYPE=Release -DZORQ_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target zorq_bench
	$(BUILD_DIR)-bench/bench/zorq_bench

# The demo: the bundled voice (demo/voice.wav) through the bundled chord progression
# (demo/chords.mid, made by demo/make_chords.py), rendered offline by zorq-render.
DEMO_PLUGIN ?= $(BUILD_DIR)/ZORQ.so
DEMO_OUTPUT ?= demo/out/zorq-demo.wav
DEMO_SETTINGS ?= --set "Vocoder Mode=VE-10 Full Bands" --set "Final Volume=0.5" --set "Ensemble=on"

demo: build
	@mkdir -p $(dir $(DEMO_OUTPUT))
	$(BUILD_DIR)/zorq-render --plugin $(DEMO_PLUGIN) --modulator demo/voice.wav \
	  --midi demo/chords.mid --rate 44100 --tail 1.5 $(DEMO_SETTINGS) --output $(DEMO_OUTPUT)
	@echo ""
	@echo "Demo rendered: $(abspath $(DEMO_OUTPUT))"
	@echo "Install the plug-in for your hosts: make install (puts ZORQ.so into ~/.vst),"
	@echo "or copy $(abspath $(DEMO_PLUGIN)) into a folder your host scans"
	@echo "(~/.vst, /usr/local/lib/vst, /usr/lib/vst, or one named by VST_PATH / LXVST_PATH)."

# Installs the plug-in where Linux hosts look for VST 2 plug-ins.
PREFIX ?= $(HOME)/.vst
install: build
	install -d $(PREFIX)
	install -m 0755 $(BUILD_DIR)/ZORQ.so $(PREFIX)/ZORQ.so
	@echo "Installed $(PREFIX)/ZORQ.so"

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench $(BUILD_DIR)-asan $(BUILD_DIR)-tsan
