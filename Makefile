# Two promises: `make play` and `make test` each install what is missing, build, and run.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup configure build play test package clean

setup:
	@./scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# Only the game: a new player does not wait for the tests, tools and benchmarks.
play: configure
	@cmake --build $(BUILD) -j $(JOBS) --target brakko
	./$(BUILD)/brakko

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package lands in $(BUILD) as brakko_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
