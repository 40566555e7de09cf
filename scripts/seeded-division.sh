#!/usr/bin/env bash
# Divides a generated task of 3,000 students (60 classes, exclusive groups,
# pre-assignments) with a fixed seed, balances it with a fixed number of
# steps, and prints the MD5 of every file the commands wrote. The same
# program must always print the same lines: tests/data/seeded-division.md5
# holds them, and the test "seeded_division" compares.
#   seeded-division.sh QUILLON_CLI [WORK_FOLDER]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
CLI="$1"
WORK="${2:-$(mktemp -d)}"
TASK="$WORK/演示任务"
rm -rf "$TASK"
python3 "$ROOT/scripts/make-demo-task.py" "$TASK" 3000 60 >/dev/null
QZ="$TASK/演示任务.qz"
export TZ=UTC
"$CLI" divide "$QZ" --seed 20240901 >"$WORK/divide.txt"
"$CLI" balance "$QZ" --seed 7 --iterations 2000 >"$WORK/balance.txt"
"$CLI" stats "$QZ" >"$WORK/stats.txt"
"$CLI" table "$QZ" >"$WORK/table.txt"
cd "$WORK"
# What tells the time of a run (dates, seconds taken) is left out; every
# other line counts.
strip_times() { grep -a -v -e '年.*月.*日' -e '用时' -e '秒' -e '进度' || true; }
iconv -f GB18030 -t UTF-8 "$TASK/report.txt" | strip_times >report-lines.txt
strip_times <divide.txt >divide-lines.txt
strip_times <balance.txt >balance-lines.txt
md5sum "演示任务/input.xml" "演示任务/演示任务.qz" report-lines.txt divide-lines.txt balance-lines.txt stats.txt table.txt
