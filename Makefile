# Two promises: `make play` and `make test` each install what is missing, build, and run.
BUILD ?= build
WEB ?= build-web
JOBS ?= $(shell nproc)
# Debian's emcc finds its own JavaScript modules only through NODE_PATH.
EMENV = NODE_PATH=/usr/share/nodejs

.PHONY: setup configure build play test package clean web web-serve

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

# The tests include the browser test, which plays the web build.
test: build web
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The same game for browsers, through Emscripten: a static site in $(WEB)/site.
web: setup
	@$(EMENV) emcmake cmake -S . -B $(WEB) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@$(EMENV) cmake --build $(WEB) -j $(JOBS)

web-serve: web
	python3 -m http.server 8000 --bind 127.0.0.1 --directory $(WEB)/site

# The Debian package lands in $(BUILD) as brakko_<version>_<arch>.deb.
package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(WEB)
