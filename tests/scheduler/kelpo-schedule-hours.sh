#!/usr/bin/env bash
# The hours scenarios through kelpo-schedule's command line: a computer on for
# ten days, one used from 9 to 5 on five days, and one started at a different
# time each morning.
#   kelpo-schedule-hours.sh PATH-TO-KELPO-SCHEDULE
set -euo pipefail
tool=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0

settings() {
  printf '[Scheduler]\r\nSchID=1\r\nSchFrequency=%s\r\nTime=9:00:00 AM\r\nDay=Sunday\r\nDateLastRun=12/6/2026\r\n' "$1" \
    >"$folder/settings.ini"
}

# expect NAME EXPECTED ACTUAL
expect() {
  if [ "$2" != "$3" ]; then
    echo "FAIL $1"
    diff <(echo "$2") <(echo "$3") || true
    failures=$((failures + 1))
  else
    echo "ok   $1"
  fi
}

# Every gap for every count is the unit tests' work; here the tool shows two.
settings 5
out=$("$tool" --settings "$folder/settings.ini" --start "2026-12-07 10:00:00" --until "2026-12-17 10:00:00")
expect "ten days, every 5 hours" "48 washes" "$(tail -n 1 <<<"$out")"

settings 24
out=$("$tool" --settings "$folder/settings.ini" --start "2026-12-07 10:00:00" --until "2026-12-17 10:00:00")
expect "ten days, every 24 hours, no drift" "$(for d in 07 08 09 10 11 12 13 14 15 16; do echo "wash 2026-12-$d 10:03:00"; done)" \
  "$(grep '^wash' <<<"$out")"
expect "the stored time" "Time=10:03:00 AM" "$(grep -a '^Time=' "$folder/settings.ini" | tr -d '\r')"

for n in 4 12 24; do
  settings "$n"
  out=$("$tool" --settings "$folder/settings.ini" --start "2026-12-07 00:00:00" --until "2026-12-11 23:59:59" \
    --daily 09:00:00-17:00:00)
  want=$(for d in 07 08 09 10 11; do
    echo "wash 2026-12-$d 09:03:00"
    if [ "$n" = 4 ]; then echo "wash 2026-12-$d 13:03:00"; fi
  done)
  expect "9 to 5, every $n hours" "$want" "$(grep '^wash' <<<"$out")"
done

for n in 4 12 24; do
  settings "$n"
  out=$("$tool" --settings "$folder/settings.ini" \
    --session "2026-12-07 09:00:00..2026-12-07 17:00:00" --session "2026-12-08 07:40:00..2026-12-08 17:00:00" \
    --session "2026-12-09 10:15:00..2026-12-09 17:00:00" --session "2026-12-10 08:05:00..2026-12-10 11:00:00" \
    --session "2026-12-11 11:30:00..2026-12-11 17:00:00")
  want="wash 2026-12-07 09:03:00
wash 2026-12-08 07:43:00
wash 2026-12-09 10:18:00
wash 2026-12-10 08:08:00
wash 2026-12-11 11:33:00"
  if [ "$n" = 4 ]; then
    want="wash 2026-12-07 09:03:00
wash 2026-12-07 13:03:00
wash 2026-12-08 07:43:00
wash 2026-12-08 11:43:00
wash 2026-12-08 15:43:00
wash 2026-12-09 10:18:00
wash 2026-12-09 14:18:00
wash 2026-12-10 08:08:00
wash 2026-12-11 11:33:00
wash 2026-12-11 15:33:00"
  fi
  expect "a different start each day, every $n hours" "$want" "$(grep '^wash' <<<"$out")"
done

[ "$failures" = 0 ]
