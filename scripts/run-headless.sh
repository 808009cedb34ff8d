# Runs the built program on the virtual display that run.sh started, screenshots its window and
# sends it the close request. Argument: the build directory.
set -euo pipefail
build_dir=$1
quorvel_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
screenshot=$quorvel_root/docs/screenshot.png
output=$(mktemp)
trap 'rm -f "$output"' EXIT

"$build_dir/quorvel" >"$output" &
pid=$!
window=$("$build_dir/tests/quorvel-xwin" wait "$pid")
sleep 3
mkdir -p "$(dirname "$screenshot")"
# No timestamps in the file: the same picture gives the same bytes.
import -window "$window" -define png:exclude-chunks=date,time "$screenshot"
echo "Screenshot: $screenshot"
"$build_dir/tests/quorvel-xwin" close "$pid"
status=0
wait "$pid" || status=$?
echo "Program output:"
cat "$output"
echo "Exit status: $status"
exit "$status"
