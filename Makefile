# Two commands do everything on a fresh Debian 12 machine:
#   make run    install what is missing, build, start the program
#   make test   install what is missing, build, run every test
#   make stick DEST=/media/you/STICK/Verdaline   a program folder for a flash drive
BUILD_DIR ?= build
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all run test build configure deps bench clean stick

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

stick: build
	@test -n "$(DEST)" || { echo "usage: make stick DEST=/media/you/STICK/Verdaline" >&2; exit 2; }
	tools/make-stick $(BUILD_DIR) "$(DEST)"

bench: build
	bench/run-all $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
