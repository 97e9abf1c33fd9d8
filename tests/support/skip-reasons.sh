#!/usr/bin/env bash
# skip-reasons.sh <build folder>/Testing/Temporary
#
# CTest names the tests it skipped but never shows their output, so their
# reasons stay hidden. Run by CTest after the tests (CTEST_CUSTOM_POST_TEST,
# see tsl_show_skip_reasons in cmake/TslTesting.cmake), this reads the run's
# log and prints each skipped test with its reason: the message under
# GoogleTest's "<file>:<line>: Skipped", or the rest of a line
# "Skipped: <reason>". Prints nothing when nothing was skipped; never fails
# the run.
FOLDER=${1:-.}
# CTest writes the log under a temporary name and gives it its own name only
# after this script: the newer of the two is this run's.
LOG="$FOLDER/LastTest.log"
[ "$LOG.tmp" -nt "$LOG" ] && LOG="$LOG.tmp"
[ -r "$LOG" ] || exit 0
awk '
  /^[0-9]+\/[0-9]+ Test: / {
    number = $0; sub(/\/.*/, "", number)
    name = $0; sub(/^[0-9]+\/[0-9]+ Test: /, "", name)
    reason = ""; output = 0; taking = 0
    next
  }
  /^Output:$/ { output = 1; next }
  /^<end of output>$/ { output = 0; taking = 0; next }
  output && taking {
    if ($0 == "" || $0 ~ /^\[/) taking = 0
    else reason = reason (reason == "" ? "" : " ") $0
    next
  }
  output && reason == "" && /: Skipped$/ { taking = 1; next }
  output && reason == "" && /^Skipped: / { reason = substr($0, 10); next }
  /^Skip regular expression found in output/ {
    printf "%d\t%3d - %s: %s\n", number, number, name, (reason == "" ? "(no reason given)" : reason)
  }
' "$LOG" | sort -n | cut -f 2- | {
  first=1
  while IFS= read -r line; do
    if [ "$first" -eq 1 ]; then
      echo "Why the skipped tests did not run:"
      first=0
    fi
    printf '\t%s\n' "$line"
  done
}
exit 0
