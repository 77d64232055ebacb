# checks.sh: sourced by the installation tests. check <what> <command...>
# runs the command and prints "ok" or "FAIL" with what it checks; the
# counts of both are in $passed and $failed. winpath turns a Unix path into
# the path Wine's programs see (Z:\...).
passed=0
failed=0
check() { # check <what> <command...>
  what=$1; shift
  if "$@"; then
    echo "ok   $what"; passed=$((passed + 1))
  else
    echo "FAIL $what"; failed=$((failed + 1))
  fi
}
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
