#!/bin/sh
# Fails on any C++ file that clang-format would change and on any shellcheck
# finding in the shell scripts. scripts/format.sh fixes the first kind.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang-format shellcheck git

git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
# Scripts without a .sh ending are found by their first line.
git ls-files | while read -r file; do
    case "$file" in
        *.sh) echo "$file" ;;
        *) [ -f "$file" ] && head -n 1 "$file" | grep -qE '^#!.*sh' && echo "$file" ;;
    esac
done | xargs shellcheck -x
echo "style: clang-format and shellcheck clean"
