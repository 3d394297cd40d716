# Thin wrapper around CMake. `make test` and `make demo` set up a fresh Debian machine first.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

DEB_PACKAGES = build-essential cmake pkg-config libgtest-dev libgmock-dev libbenchmark-dev

.PHONY: all deps configure build test bench demo clean

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

bench: configure
	cmake -S . -B $(BUILD_DIR)-bench -DCMAKE_BUILD_TYPE=Release -DZORQ_BUILD_TESTS=OFF
	cmake --build $(BUILD_DIR)-bench -j $(JOBS) --target zorq_bench
	$(BUILD_DIR)-bench/bench/zorq_bench

demo: build
	@echo "The demo (offline rendering with zorq-render) arrives with the loadable plug-in."

clean:
	rm -rf $(BUILD_DIR) $(BUILD_DIR)-bench
