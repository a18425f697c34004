#!/usr/bin/env bash
# Two builds of the kit side by side in one run: the install benchmark and the
# build benchmark of each, taken in turns (before, after, after, before, …) on the
# same tmpfs, so that a slow minute on a shared machine touches both alike.
#   benchmarks/compare-builds.sh BEFORE_BUILD AFTER_BUILD [turns] [runs per turn]
# Prints each turn's figures and, at the end, the medians and after / before.
set -euo pipefail
before=$(cd "${1:?usage: compare-builds.sh BEFORE_BUILD AFTER_BUILD [turns] [runs]}" && pwd)
after=$(cd "${2:?usage: compare-builds.sh BEFORE_BUILD AFTER_BUILD [turns] [runs]}" && pwd)
turns=${3:-4}
runs=${4:-3}

work=$(mktemp -d /dev/shm/kovrin-compare.XXXXXX)
results=$work.results
trap 'rm -rf "$work" "$results"' EXIT
mkdir -p "$results"

# install: "<title>: ..." headers, then "  install engine:  0.123 s (...)".
# build: "<set name> <files> <bytes> | <build s> ..." or "<corpus> ... | /build <s> s ...".
run_side() {  # <label> <build>
  local label=$1 build=$2 target="Z:${work//\//\\}\\$1"
  mkdir -p "$work/$label"
  "$build/wine-run.sh" "$build/bin/install_benchmark.exe" "$target" "$runs" 2>&1 | tr -d '\r' |
    tee -a "$results/$label.install.log" |
    awk -v side="$label" '
      /^[^ ].*: [0-9]+ files/ { sub(/:.*/, ""); gsub(/ /, "-"); title = $0 }
      /install engine:/ { printf "%s install %s %s\n", side, title, $3 }' >>"$results/figures"
  rm -rf "${work:?}/$label"
  mkdir -p "$work/$label"
  "$build/wine-run.sh" "$build/bin/build_benchmark.exe" "$target" "$runs" 2>&1 | tr -d '\r' |
    tee -a "$results/$label.build.log" |
    awk -v side="$label" '
      # A figures row: the set name, files, bytes, then "|" and the build time;
      # or, from the command-line build benchmark, "| /build <seconds> s".
      {
        for (i = 1; i < NF && $i != "|"; ++i) {}
        if (i < NF && $(i + 1) == "/build" && $(i + 2) ~ /^[0-9.]+$/) {
          printf "%s build %s %s\n", side, $1, $(i + 2)
          next
        }
        if (i < NF && i > 3 && $(i + 1) ~ /^[0-9.]+$/) {
          name = $1; for (j = 2; j <= i - 3; ++j) name = name "-" $j
          printf "%s build %s %s\n", side, name, $(i + 1)
        }
      }' >>"$results/figures"
  rm -rf "${work:?}/$label"
}

for ((turn = 0; turn < turns; ++turn)); do
  if ((turn % 2 == 0)); then order=(before after); else order=(after before); fi
  for side in "${order[@]}"; do
    if [ "$side" = before ]; then run_side before "$before"; else run_side after "$after"; fi
  done
  echo "turn $((turn + 1)) of $turns done"
done

echo
echo "medians over $turns turns ($runs runs each), seconds:"
awk '
  { key = $2 " " $3; values[$1, key] = values[$1, key] " " $4; keys[key] = 1 }
  function median(list,   n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return a[int((n + 1) / 2)]
  }
  END {
    printf "  %-36s %9s %9s %8s\n", "", "before", "after", "after/before"
    for (key in keys) {
      b = median(values["before", key]); a = median(values["after", key])
      printf "  %-36s %9.3f %9.3f %8.3f\n", key, b, a, (b > 0 ? a / b : 0)
    }
  }' "$results/figures" | sort
