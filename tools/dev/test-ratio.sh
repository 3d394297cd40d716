#!/usr/bin/env bash
# Test code against product code, counted the one way docs/DEVELOPING.md states:
# non-blank lines that are not only comment, in the C and C++ files git tracks
# (.c .cpp .h .inc) under tests/ against those under src/ and tools/.
# Usage: tools/dev/test-ratio.sh [LIMIT_PERCENT]  Prints the counts and the ratio; with
# a limit, exits 1 when the tests are above it.
set -euo pipefail
cd "$(dirname "$0")/../.."

# Lines holding something besides blanks and comments (// lines, /* ... */ blocks).
count() {
  git ls-files -- "$@" | grep -E '\.(c|cpp|h|inc)$' | tr '\n' '\0' | xargs -0 -r cat | awk '
    {
      line = $0; code = 0
      while (length(line) > 0) {
        if (inBlock) {
          end = index(line, "*/")
          if (end == 0) { line = ""; break }
          line = substr(line, end + 2); inBlock = 0; continue
        }
        sub(/^[ \t\r]+/, "", line)
        if (line == "" || substr(line, 1, 2) == "//") break
        if (substr(line, 1, 2) == "/*") { inBlock = 1; line = substr(line, 3); continue }
        code = 1; break
      }
      if (code) n++
    }
    END { print n + 0 }'
}

tests=$(count tests)
product=$(count src tools)
percent=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.1f", 100 * t / p }')
echo "tests ${tests} lines, src and tools ${product} lines: ${percent} %"
if [ $# -gt 0 ] && awk -v r="$percent" -v l="$1" 'BEGIN { exit !(r > l) }'; then
  echo "the tests are above ${1} % of the code (docs/DEVELOPING.md says how to keep them there)"
  exit 1
fi
