#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix and checks what a desktop and a user get from it:
# the desktop entry and the AppStream metadata pass their validators, both manual pages render
# without warnings, and a fresh user's first start of the installed editor copies the examples
# into the data directory. Usage: install_test.sh BUILD_DIR
set -euo pipefail

build=$1
for tool in desktop-file-validate appstreamcli man; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/install-deps installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

id=example.brimvale.GlslTessory
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null
for size in scalable/apps/$id.svg 48x48/apps/$id.png 256x256/apps/$id.png; do
    test -s "$prefix/share/icons/hicolor/$size"
done
for page in glsl-tessory glsl-tessory-check; do
    warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    if [[ -n $warnings ]]; then
        echo "$page.1: $warnings"
        exit 1
    fi
done

"$prefix/bin/glsl-tessory" --version | grep -q '^glsl-tessory [0-9]'

# A fresh user: no settings, no data directory. The examples are copied before the window opens;
# the window stays open until it is ended here.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
data="$work/data/Brimvale/GLSL Tessory"
installed=$(ls "$prefix/share/glsl-tessory/examples")
"$prefix/bin/glsl-tessory" >/dev/null 2>&1 &
editor=$!
copied=
for _ in $(seq 100); do
    copied=$(ls "$data" 2>/dev/null || true)
    [[ "$copied" == "$installed" ]] && break
    sleep 0.1
done
kill "$editor" 2>/dev/null || true
wait "$editor" 2>/dev/null || true
if [[ "$copied" != "$installed" || -z "$copied" ]]; then
    echo "first start copied [$copied], installed are [$installed]"
    exit 1
fi
echo "installed files valid, examples copied: $(echo $copied)"
