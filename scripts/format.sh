#!/usr/bin/env bash
# The C++ sources laid out as .clang-format says, and no line of the program
# or of its tests, Python scripts included, longer than 120 characters. With --check nothing is changed:
# the files that differ are named and the script fails. Without it the C++
# files are rewritten in place.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
if ! command -v clang-format >/dev/null 2>&1; then
  echo "format.sh: clang-format is missing: run scripts/deps.sh as root, or apt-get install clang-format" >&2
  exit 1
fi
mapfile -t sources < <(find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
mapfile -t scripts < <(find src tests -name '*.py' -type f | sort)
if [ "${1:-}" != "--check" ]; then
  clang-format -i "${sources[@]}"
  exit 0
fi
status=0
clang-format --dry-run --Werror "${sources[@]}" 2>/dev/null || {
  for f in "${sources[@]}"; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "format.sh: $f is not laid out as .clang-format says"
  done
  status=1
}
python3 - $(find src tests \( -name '*.cpp' -o -name '*.h' \) -type f) "${scripts[@]}" <<'PY' || status=1
import sys
long = [f"{name}:{n}" for name in sys.argv[1:] for n, line in enumerate(open(name, encoding="utf-8"), 1)
        if len(line.rstrip("\n").encode("utf-8")) > 120]
for place in long:
    print(f"format.sh: {place} is longer than 120 bytes")
sys.exit(1 if long else 0)
PY
[ $status -eq 0 ] || echo "format.sh: bash scripts/format.sh lays the C++ files out; long lines clang-format cannot break are to be cut by hand" >&2
exit $status
