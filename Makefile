# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test
#   make stick DEST=/media/you/STICK/Verdaline   a program folder for a flash drive
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all run test build configure deps bench clean stick test-windows
WINDOWS_BUILD_DIR ?= build-windows

all: build

deps:
	@tools/install-deps

configure: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/verdaline

test: build
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# Core, its tests and verdaline-cli.exe cross-built for Windows and run under wine; one
# test compares verdaline-cli.exe's files with those of the Linux verdaline-cli.
test-windows: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target verdaline-cli
	cmake -S . -B $(WINDOWS_BUILD_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
		-DVERDALINE_BUILD_UI=OFF -DCMAKE_BUILD_TYPE=Release \
		-DVERDALINE_LINUX_CLI=$(abspath $(BUILD_DIR))/bin/verdaline-cli $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_BUILD_DIR) -j $(JOBS)
	tools/with-wine ctest --test-dir $(WINDOWS_BUILD_DIR) --output-on-failure -j $(JOBS)

stick: build
	@test -n "$(DEST)" || { echo "usage: make stick DEST=/media/you/STICK/Verdaline" >&2; exit 2; }
	tools/make-stick $(BUILD_DIR) "$(DEST)"

bench: build
	bench/run-all $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR)
