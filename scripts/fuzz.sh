#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each from its seed corpus for
# SECONDS (default 20), or until its first report.  As root it installs
# what is missing.  Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
need_packages "${BUILD_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}"
seconds=${1:-20}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in build-fuzz/bin/fuzz_*; do
    name=${target##*/fuzz_}
    mkdir "$work/$name"
    echo "== $name, $seconds s"
    # New inputs go to a folder of the run's own; the seeds stay as they are.
    status=0
    "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/" \
        "$work/$name" "tests/fuzz/corpus/$name" >"$work/log" 2>&1 || status=$?
    grep -E '^(Done|stat::number_of_executed_units)' "$work/log"
    if [ $status -ne 0 ]; then
        tail -n 40 "$work/log"
        echo "fuzz_$name found a fault; the input:" >&2
        od -c "$work"/crash-* | head -n 20 >&2
        exit 1
    fi
done
