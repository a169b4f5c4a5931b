#!/usr/bin/env bash
# Fuzzes each reader and writer of the program's files and texts for a set time (FUZZ_SECONDS per target,
# 600 unless given) with libFuzzer, AddressSanitizer and UBSan, in build-fuzz/ (clang). New inputs go to
# build-fuzz/corpus/<target>; an input that crashes a target or breaks one of its properties is written
# to build-fuzz/crashes/<target>/, and the script says where and ends with an error.
set -euo pipefail

seconds="${FUZZ_SECONDS:-600}"
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/build-fuzz"
targets=(task_file ini datetime numbers net_stats)

CC=clang CXX=clang++ cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DVANTOR_FUZZ=ON -DVANTOR_BUILD_UI=OFF -DVANTOR_BUILD_TESTS=OFF \
    >/dev/null
cmake --build "$out" -j 2 --target "${targets[@]/#/fuzz_}"

failed=()
for t in "${targets[@]}"; do
    corpus="$out/corpus/$t"
    crashes="$out/crashes/$t"
    mkdir -p "$corpus" "$crashes"
    echo "== fuzz_$t for ${seconds} s"
    # New inputs go to the first corpus folder; the committed one is only read.
    if ! "$out/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$crashes/" -print_final_stats=1 "$corpus" "$root/tests/fuzz/corpus/$t" \
        2>"$out/fuzz_$t.log"; then
        failed+=("$t")
        tail -n 30 "$out/fuzz_$t.log"
        for f in "$crashes"/*; do
            [ -e "$f" ] && echo "crash reproducer written to $f (replay: $out/tests/fuzz/fuzz_$t $f)"
        done
    else
        grep -E '^stat::number_of_executed_units|^Done' "$out/fuzz_$t.log" || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzzing found failures in: ${failed[*]}" >&2
    exit 1
fi
echo "fuzzing found nothing in ${#targets[@]} targets (${seconds} s each); logs in $out"
