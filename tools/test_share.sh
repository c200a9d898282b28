#!/usr/bin/env bash
# Prints the tests' share of the code: non-blank lines of the committed sources (C and C++, shell
# scripts, CMake files) under tests/ against all of them. Data (images, corpora), documents and
# web pages are not code and are not counted.
# Usage: tools/test_share.sh [COMMIT] (the work tree's committed files at HEAD unless given).
set -euo pipefail
cd "$(dirname "$0")/.."
commit=${1:-HEAD}

# Non-blank lines of the code files under the given path at the commit.
lines() { # path
  git ls-tree -r --name-only "$commit" -- "$1" |
    grep -E '\.(c|cpp|h|sh|cmake)$|(^|/)CMakeLists\.txt$|^\.ci/run$' |
    while read -r file; do git show "$commit:$file"; done | grep -cv '^[[:space:]]*$'
}

tests=$(lines tests)
all=$(lines .)
echo "tests: $tests of $all lines, $((tests * 1000 / all / 10)).$((tests * 1000 / all % 10)) %"
