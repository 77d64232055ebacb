#!/bin/sh
# Builds the native fuzz targets of the parsers (clang, libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) and runs each in turn for
# FUZZ_SECONDS, starting from the seed corpus kept in fuzz/corpus/. Prints
# how many inputs each target ran. Usage: tools/fuzz.sh BUILD_DIR SECONDS
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-build-fuzz}
seconds=${2:-300}
mkdir -p "$out"
out=$(cd "$out" && pwd)

CXX=${FUZZ_CXX:-clang++}
FLAGS="-std=c++20 -O2 -g -Wall -Wextra -Werror -Wno-missing-field-initializers
       -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined"

# target name, seed folder, sources
build() {
  name=$1; shift
  echo "Building $name"
  $CXX $FLAGS -I"$root/registry" -I"$root/addin" -I"$root/hostsim" "$@" -o "$out/$name"
}
build regfile_fuzz "$root/fuzz/RegFileFuzz.cpp" "$root/registry/RegFileParser.cpp"
build inifile_fuzz "$root/fuzz/IniFileFuzz.cpp" "$root/addin/IniDocument.cpp"
build scenario_fuzz "$root/fuzz/ScenarioFuzz.cpp" "$root/hostsim/Scenario.cpp" "$root/hostsim/PageCommandSyntax.cpp"

# Short allocation stacks and a small quarantine: several times the
# executions per second, and findings are still reported.
ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=2:quarantine_size_mb=32}
export ASAN_OPTIONS

status=0
summary=""
# target:longest input (the REGEDIT4 reader joins long continued lines)
for entry in regfile:2048 inifile:512 scenario:512; do
  target=${entry%%:*}
  maxlen=${entry#*:}
  corpus="$out/corpus-$target"
  mkdir -p "$corpus" "$out/findings-$target"
  log="$out/$target.log"
  echo "Running ${target}_fuzz for $seconds s"
  # One job at a time: the machine's cores are shared.
  if ! "$out/${target}_fuzz" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -max_len="$maxlen" \
       -artifact_prefix="$out/findings-$target/" "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
    status=1
    echo "${target}_fuzz found a problem; see $log and $out/findings-$target/"
    tail -40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary="$summary
  ${target}_fuzz: ${runs:-?} executions"
done
echo "Executions:$summary"
exit $status
