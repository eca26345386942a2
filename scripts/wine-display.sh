#!/usr/bin/env bash
# Runs a command on a virtual X display with 24-bit colour (a lower depth breaks exact colours),
# after setting up the Wine prefix named by WINEPREFIX on that same display: a prefix made
# without a display fails to make windows on its first run.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1024x768x24" bash -c 'wineboot -i >/dev/null 2>&1 || true; exec "$@"' wine-display "$@"
