#!/bin/sh
# check-format.sh <clang-format> <source-dir> <folder>...
# Every C and C++ source and header under the folders, against the
# .clang-format at the root of <source-dir>. Prints each place that differs
# and fails when there is one.
set -u
clang_format=$1
root=$2
shift 2
if [ ! -x "$clang_format" ] && ! command -v "$clang_format" >/dev/null 2>&1; then
  echo "clang-format not found ($clang_format): install the Debian package clang-format" >&2
  exit 1
fi
cd "$root" || exit 1
files=$(find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) | sort)
if [ -z "$files" ]; then
  echo "no sources under: $*" >&2
  exit 1
fi
# shellcheck disable=SC2086
"$clang_format" --style=file --dry-run -Werror $files
status=$?
if [ $status -ne 0 ]; then
  echo "format check: sources differ from .clang-format (fix with: make format)" >&2
fi
exit $status
