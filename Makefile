# Two promises: `make play` and `make test` each install what is missing, build, and run.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build play test package clean

setup:
	@./scripts/setup

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

play: build
	./$(BUILD)/brakko

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The Debian package lands in $(BUILD) as brakko_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
