#!/bin/sh
# Lists the C++ files of src, tests and bench that differ from what
# clang-format (the repository's .clang-format) makes of them; fails if any do.
# `make format` formats them.
cd "$(dirname "$0")/.." || exit 1
differ=0
for f in $(find src tests bench \( -name '*.cpp' -o -name '*.h' \) | sort); do
    if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
        echo "$f"
        differ=$((differ + 1))
    fi
done
if [ "$differ" -gt 0 ]; then
    echo "format-check: $differ files differ from clang-format; run make format" >&2
    exit 1
fi
echo "format-check: every file is formatted"
