# Two promises: `make play` and `make test` each install what is missing, build, and run. `make check` is the
# quick loop: the unit tests alone, in a tree of their own.
BUILD ?= build
WEB ?= build-web
CHECK ?= build-check
JOBS ?= $(shell nproc)
# Debian's emcc finds its own JavaScript modules only through NODE_PATH.
EMENV = NODE_PATH=/usr/share/nodejs

# Every switch of the build, turned on: the tools, the tests and the benchmarks, and the site the browser
# test plays.
ALL = -DBRAKKO_TOOLS=ON -DBUILD_TESTING=ON -DBRAKKO_BENCHMARKS=ON -DBRAKKO_WEB_SITE=$(abspath $(WEB))/site

.PHONY: setup setup-check setup-all configure configure-all build play check test package clean web web-serve

# What building and running the game needs; setup-check adds GoogleTest, setup-all what the tools, every
# test and the web build need.
setup:
	@./scripts/setup play

setup-check:
	@./scripts/setup check

setup-all:
	@./scripts/setup all

# The game alone, and whichever switches the packages present turn on.
configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

configure-all: setup-all
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(ALL) >/dev/null

build: configure-all
	@cmake --build $(BUILD) -j $(JOBS)

# Only the game: a new player waits for no test, tool or benchmark, nor for their packages.
play: configure
	@cmake --build $(BUILD) -j $(JOBS) --target brakko
	./$(BUILD)/brakko

# The unit tests labelled `check` (rules, flow, level files, replays, search, the views on SDL's dummy
# driver), built with SDL, the mixer and GoogleTest alone: no tool, X server or browser. Built for speed of
# building: less optimized, without debug information, GoogleTest's header compiled once.
check: setup-check
	@cmake -S . -B $(CHECK) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
		-DBRAKKO_PRECOMPILE=ON -DBUILD_TESTING=ON -DBRAKKO_TOOLS=OFF -DBRAKKO_BENCHMARKS=OFF >/dev/null
	@cmake --build $(CHECK) -j $(JOBS)
	cd $(CHECK) && ctest -L check --output-on-failure -j $(JOBS)

# The tests include the browser test, which plays the web build in $(WEB).
test: build web
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same game for browsers, through Emscripten: a static site in $(WEB)/site.
web: setup-all
	@$(EMENV) emcmake cmake -S . -B $(WEB) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(EMENV) cmake --build $(WEB) -j $(JOBS)

web-serve: web
	python3 -m http.server 8000 --bind 127.0.0.1 --directory $(WEB)/site

# The Debian package lands in $(BUILD) as brakko_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(WEB) $(CHECK)
