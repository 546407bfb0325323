#!/usr/bin/env bash
# Draws the real window, offscreen, in the states a user meets first and writes them as PNG
# pictures into DIR: the demo script after start, the Results tab after Execute Script, the
# Grids tab, the Execution history with a hover popup, and an error with its line marked.
#
#   bash scripts/screenshots.sh DIR
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
cd "$MARLIX_ROOT"

[[ $# -eq 1 ]] || die "usage: bash scripts/screenshots.sh DIR"
out="$1"
mkdir -p "$out" || die "cannot create $out"

bash scripts/setup.sh || die "package setup failed"
configure_and_build build -DCMAKE_BUILD_TYPE=Release >/dev/null || die "the build failed"

work="$(mktemp -d /tmp/marlix-shots.XXXXXX)" || die "mktemp failed"
trap 'rm -rf "$work"' EXIT
write_odbc_config "$work"
export ODBCSYSINI="$work" ODBCINI="$work/odbc.ini"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

build/src/app/marlix-screenshots "$out" data "$work/demo.sqlite"
