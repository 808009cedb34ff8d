# Runs quorvel and the bare clear-and-swap loop in turns (A B A B ...) on the virtual display that
# bench.sh started, and prints each figure's median and the ratio of the two programs.
# Arguments: the build directory, the number of runs of each program, the seconds each run lasts.
set -euo pipefail
build_dir=$1
runs=${2:-5}
seconds=${3:-3}
probe=$build_dir/tests/libquorvel_probe.so
xwin=$build_dir/tests/quorvel-xwin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# One run: the probe counts swaps and times the frame loop; /usr/bin/time gives the peak RSS.
run_once() {
    local name=$1 binary=$2
    rm -f "$work/report"
    /usr/bin/time -f "%M" -o "$work/peak_rss" \
        env LD_PRELOAD="$probe" QUORVEL_PROBE_REPORT="$work/report" "$binary" >/dev/null &
    local time_pid=$! pid=""
    for _ in $(seq 200); do
        pid=$(pgrep -P "$time_pid" || true)
        [ -n "$pid" ] && break
        sleep 0.05
    done
    "$xwin" wait "$pid" >/dev/null
    sleep "$seconds"
    "$xwin" close "$pid"
    wait "$time_pid"
    awk -v name="$name" -v rss="$(tail -n 1 "$work/peak_rss")" '
        { value[$1] = $2 }
        END {
            printf "%s %.1f %.2f %.1f %d\n", name,
                value["frames"] / (value["frame_loop_us"] / 1e6),
                value["frame_loop_cpu_us"] / value["frames"],
                value["first_frame_us"] / 1000, rss
        }' "$work/report" >>"$work/results"
}

for _ in $(seq "$runs"); do
    run_once quorvel "$build_dir/quorvel"
    run_once bare "$build_dir/bench/quorvel_bare_loop"
done

echo "Whole process, $runs runs of each, ${seconds} s each, medians (bare = clear-and-swap loop):"
printf "%-10s %12s %18s %18s %16s\n" program "frames/s" "CPU us/frame" "first frame ms" "peak RSS KiB"
for name in quorvel bare; do
    grep "^$name " "$work/results" | datamash -W median 2 median 3 median 4 median 5 |
        awk -v name="$name" '{ printf "%-10s %12.1f %18.2f %18.1f %16d\n", name, $1, $2, $3, $4 }'
done | tee "$work/medians"
awk '{ for (i = 2; i <= 5; ++i) m[$1, i] = $i }
     END { printf "%-10s %12.2f %18.2f %18.2f %16.2f\n", "ratio", m["quorvel", 2] / m["bare", 2],
           m["quorvel", 3] / m["bare", 3], m["quorvel", 4] / m["bare", 4], m["quorvel", 5] / m["bare", 5] }' \
    "$work/medians"
