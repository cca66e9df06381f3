#!/usr/bin/env bash
# Runs the browser test: installs its pinned packages (npm ci, from the lock file) into the build tree,
# renders the desktop game's pictures at rest, and plays the web site in headless Chromium.
# Usage: run.sh <site-dir> <settled_frames> <project-root> <work-dir> <brakko-solve>
set -uo pipefail

site=$(realpath -m "$1")
settled=$2
root=$(realpath "$3")
work=$(realpath -m "$4")
# The level editor's proofs are held to the solver's.
solve=${5:-}
here=$root/tests/web

fail() {
    echo "web_e2e: $*"
    exit 1
}

[ -f "$site/index.html" ] && [ -f "$site/brakko.wasm" ] ||
    fail "no web build in $site: run \`make web\` first (\`make test\` does)"
[ -x /usr/bin/chromium ] || fail "Debian's chromium is missing: run scripts/setup"

# The packages are installed again only when the lock file changes.
mkdir -p "$work/frames"
if ! cmp -s "$here/package-lock.json" "$work/package-lock.json" || [ ! -d "$work/node_modules" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$work/" || fail "cannot copy the package files"
    (cd "$work" && npm ci --no-audit --no-fund --loglevel=error) || fail "npm ci failed"
fi

"$settled" "$root" "$work/frames" && "$settled" "$root" "$work/frames" --practice ||
    fail "the desktop game's pictures at rest could not be rendered"

export BRAKKO_SITE=$site BRAKKO_FRAMES=$work/frames NODE_PATH=$work/node_modules BRAKKO_SOLVE=$solve
exec node --test "$here/page.test.cjs"
