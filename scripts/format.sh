#!/bin/sh
# Formats every C++ file with the project's .clang-format.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang-format git
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i
