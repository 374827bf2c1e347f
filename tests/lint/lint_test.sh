#!/bin/sh
# Runs scripts/lint in a scratch repository: a header in the house layout passes, the same
# header with a bad layout fails, and --fix brings it back to a passing state.
set -eu
src="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
git init -q -b main .
git config user.email lint@test.invalid
git config user.name lint
mkdir scripts
cp "$src/scripts/lint" scripts/lint
cp "$src/.clang-format" .clang-format
printf '#pragma once\n\nnamespace tolvex {\n\nint Twice(int value);\n\n}  // namespace tolvex\n' > Twice.h
git add -A && git commit -qm base
git commit -q --allow-empty -m second

./scripts/lint >/dev/null 2>&1 || { echo "lint failed on a file in the house layout"; exit 1; }

printf '#pragma once\nnamespace tolvex {\nint   Twice( int value );\n}\n' > Twice.h
git commit -qam bad
if ./scripts/lint >/dev/null 2>&1; then echo "lint passed a file with a bad layout"; exit 1; fi

./scripts/lint --fix
./scripts/lint >/dev/null 2>&1 || { echo "lint failed after --fix"; exit 1; }
echo "lint: passes, fails and fixes as it should"
