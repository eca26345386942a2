#!/usr/bin/env bash
# Measures what the Linux library's open panel, and the LV2 panel, cost a host that idles them every
# 40 ms while nothing changes, on a virtual display, and fails when either is 1% of one core or more.
#
# scripts/idle-cost.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target x11_idle_bench >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$build/bin/x11_idle_bench" --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true --benchmark_format=json | python3 -c '
import json, sys
runs = json.load(sys.stdin)["benchmarks"]
shares = {run["run_name"]: run["coreShareAt40ms"] for run in runs if run["name"].endswith("_median")}
for name, share in shares.items():
    panel = "the LV2 panel" if name.startswith("lv2") else "the VST 2 panel"
    print(f"{panel}: idle every 40 ms with nothing changing costs {share * 100:.4f}% of one core")
sys.exit(0 if len(shares) == 2 and all(share < 0.01 for share in shares.values()) else 1)'
