#!/usr/bin/env bash
# The storm: a checked build of the program under its own Xvfb, driven for
# SECONDS by random events from a fixed seed, as a hostile user would: left
# clicks in and out of the click rectangle, bursts of clicks 1 ms apart,
# other buttons, menu walks and picks (never "Exit" until the end), resizes
# down to 1x1 and up to 2000x50 and 50x2000, moves off-screen and back,
# unmap and map, key presses (never Q or Escape, which exit, nor F). Every 30 s the window is put back to its
# normal size and place and a click outside the rectangle must be answered
# on standard output; resident memory is sampled then. At the end "Exit"
# must give status 0, with no sanitizer report, no GL error, no allocation
# by the program in frames or between them, and resident memory within 10 %
# of its value after the first minute.
#
#   tools/storm/run.sh BINARY DATA_DIR SECONDS [SEED]
#
# BINARY is lighter_storm (or lighter_checked); tools/storm.sh builds it
# and runs this. Prints the figures; exits 0 only if every check held.
set -uo pipefail

binary=$1
data=$2
seconds=$3
seed=${4:-13}
work=$(mktemp -d /tmp/lighter-storm-XXXXXX)
xvfb_pid=
program_pid=
keep=  # the program's output is kept when a check fails
cleanup() {
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  if [ -n "$keep" ]; then echo "storm: the program's output is in $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

fail() {
  echo "storm: FAILED: $*"
  if [ -n "${win:-}" ]; then
    echo "storm: the window: $(xwininfo -id "$win" 2>/dev/null |
      awk -F': *' '/Absolute upper-left X|Absolute upper-left Y|Width|Height|Map State/ {printf "%s ", $2}')"
    echo "storm: open menus (x y width height): $(menus | tr '\n' ';')"
  fi
  echo "storm: the last events (seconds into the storm, what was sent):"
  tail -n 30 "$work/events" 2>/dev/null | sed 's/^/  /'
  echo "storm: last lines of standard error:"
  tail -n 20 "$work/stderr" | sed 's/^/  /'
  keep=1
  exit 1
}

# ---- the X server and the program -------------------------------------------

Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -noreset 8>"$work/display" \
  >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1200); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb did not start"
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY

# No stdbuf: the program's own line buffering after start-up is under test.
UBSAN_OPTIONS=print_stacktrace=1 "$binary" "$data" >"$work/stdout" 2>"$work/stderr" &
program_pid=$!

# ---- the window and its state -----------------------------------------------

kNormalX=320 kNormalY=100 kNormalW=800 kNormalH=600
win=
for _ in $(seq 1200); do
  win=$(xdotool search --onlyvisible --name '^Lighter Demonstration$' 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended during start-up"
  sleep 0.05
done
[ -n "$win" ] || fail "no window"
wx=$kNormalX wy=$kNormalY ww=$kNormalW wh=$kNormalH

# freeglut's menus: entries 25 pixels apart, the first centred 14 below the
# top, 4 pixels of border. The main menu has 3 entries ("Exit" the third),
# the flame colours 5, the mesh modes 3: their heights tell them apart, and
# the main menu from the mesh modes its width (126 pixels, theirs 91: the
# labels are drawn in a fixed bitmap font).
entry_y() { echo $(($1 + 14 + 25 * $2)); }
menu_height() { echo $((25 * $1 + 4)); }
kMainMenuMinWidth=110
# The width bounds "min max" of the main menu (kind main) or of a submenu.
menu_widths() {
  if [ "$1" = main ]; then echo "$kMainMenuMinWidth 100000"; else echo "0 $((kMainMenuMinWidth - 1))"; fi
}

# Open freeglut menus as "x y width height" lines.
menus() {
  local id
  for id in $(xdotool search --onlyvisible --name '^freeglut menu$' 2>/dev/null); do
    xdotool getwindowgeometry --shell "$id" 2>/dev/null |
      awk -F= '{v[$1]=$2} END {print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"]}'
  done
}

# Whether any of the points (x y, ...) lies on an open menu: a click there
# could pick an entry, "Exit" among them.
on_menu() {
  local points=("$@") mx my mw mh list i px py
  list=$(menus)
  seen_menus=$(tr '\n' ';' <<<"$list")
  while read -r mx my mw mh; do
    [ -z "$mx" ] && continue
    for ((i = 0; i + 1 < ${#points[@]}; i += 2)); do
      px=${points[i]} py=${points[i + 1]}
      if [ "$px" -ge "$mx" ] && [ "$px" -lt $((mx + mw)) ] && [ "$py" -ge "$my" ] &&
        [ "$py" -lt $((my + mh)) ]; then
        return 0
      fi
    done
  done <<<"$list"
  return 1
}

# What was sent, for the report of a failed storm.
log() { echo "$((SECONDS - ${start:-SECONDS})) $*" >>"$work/events"; }

# Clicks `button` at window point (x, y), `count` times 1 ms apart, unless
# the point lies on a menu. Nor where the window point, taken as a screen
# point, does: while a menu is open freeglut tests a press in the window
# against the menu with the press's window coordinates, so such a click
# picks the entry there.
click() {
  local x=$((wx + $1)) y=$((wy + $2)) button=$3 count=${4:-1}
  if on_menu "$x" "$y" "$1" "$2"; then
    log "no click of button $button at $x $y: on a menu ($seen_menus)"
    return
  fi
  log "button $button x$count at $x $y (menus: $seen_menus)"
  xdotool mousemove "$x" "$y" click --repeat "$count" --delay 1 "$button" 2>/dev/null ||
    log "  xdotool failed"
}


# ---- the events -------------------------------------------------------------

declare -A done_events=()
count() { done_events[$1]=$((${done_events[$1]:-0} + 1)); }

left_in_rectangle() {
  click $((280 + (RANDOM % 221))) $((wh - 1 - (5 + (RANDOM % 296)))) 1
  count "left click in the rectangle"
}
left_outside() {
  click "$((RANDOM % (ww > 1 ? ww : 1)))" "$((RANDOM % (wh > 1 ? wh : 1)))" 1
  count "left click anywhere"
}
burst() {
  click $((280 + (RANDOM % 221))) $((wh - 1 - (5 + (RANDOM % 296)))) 1 $((2 + (RANDOM % 9)))
  count "burst of clicks 1 ms apart"
}
other_button() {
  local buttons=(2 4 5 6 7 8 9)
  click "$((RANDOM % 800))" "$((RANDOM % 600))" "${buttons[$((RANDOM % ${#buttons[@]}))]}"
  count "other button"
}
# The open menu of `entries` entries nearest to screen point (x, y), waiting
# up to `wait` seconds (2 by default) for it to appear; `kind` is main for
# the main menu, anything else for a submenu.
menu_of() {
  local entries=$1 x=$2 y=$3 deadline=$((SECONDS + ${4:-2})) found wmin wmax
  read -r wmin wmax <<<"$(menu_widths "${5:-sub}")"
  while :; do
    found=$(menus | awk -v h="$(menu_height "$entries")" -v x="$x" -v y="$y" \
      -v wmin="$wmin" -v wmax="$wmax" \
      '$4 == h && $3 >= wmin && $3 <= wmax {
         d = ($1 - x) ^ 2 + ($2 - y) ^ 2; if (best == "" || d < bd) {best = $0; bd = d}}
       END {print best}')
    [ -n "$found" ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.02
  done
  echo "$found"
}
# A right click opens the main menu once the program has handled it, which on
# a loaded machine can take seconds. Until the menu is seen no other click may
# follow: it would reach the program after the menu has opened and could land
# on "Exit".
kMenuWait=60

# Opens the menu, hovers an entry or two and, half the time, picks a colour
# or a mesh mode; the rest leaves it open for the events that follow. Only
# a submenu's entries are ever clicked, so "Exit" is never picked.
menu_walk() {
  # A right press on the window's first row or column opens no menu, so a
  # window of 1 pixel has none.
  [ "$ww" -ge 2 ] && [ "$wh" -ge 2 ] || return
  local x=$((1 + (RANDOM % ((ww < 700 ? ww : 700) - 1)))) y=$((1 + (RANDOM % ((wh < 500 ? wh : 500) - 1))))
  on_menu $((wx + x)) $((wy + y)) && return
  [ -n "$(menus)" ] && return  # a right click would only close it
  click "$x" "$y" 3
  count "menu opened"
  local main
  main=$(menu_of 3 $((wx + x)) $((wy + y)) "$kMenuWait" main)
  [ -n "$main" ] || fail "the menu did not open within $kMenuWait s"
  log "main menu at $main"
  read -r mx my mw _ <<<"$main"
  local entry
  entry=$((RANDOM % 2))  # "Flame Colors" or "Mesh Modes", never "Exit"
  log "hover entry $entry at $((mx + mw / 2)) $(entry_y "$my" "$entry")"
  xdotool mousemove $((mx + mw / 2)) "$(entry_y "$my" "$entry")" 2>/dev/null
  [ "$((RANDOM % 2))" -eq 0 ] && return
  local entries=$((entry == 0 ? 5 : 3)) sub
  sub=$(menu_of "$entries" $((mx + mw)) "$my")
  [ -z "$sub" ] && return
  read -r sx sy sw _ <<<"$sub"
  local pick
  pick=$((RANDOM % entries))
  log "submenu at $sub: pick entry $pick at $((sx + sw / 2)) $(entry_y "$sy" "$pick")"
  xdotool mousemove $((sx + sw / 2)) "$(entry_y "$sy" "$pick")" click 1 2>/dev/null
  count "menu pick"
}
resize() {
  local sizes=("1 1" "2000 50" "50 2000" "800 600" "$((1 + (RANDOM % 1200))) $((1 + (RANDOM % 900)))")
  read -r ww wh <<<"${sizes[$((RANDOM % ${#sizes[@]}))]}"
  log "resize to $ww $wh"
  xdotool windowsize "$win" "$ww" "$wh" 2>/dev/null
  count "resize"
}
move_away_and_back() {
  local places=("-3000 -3000" "5000 200" "200 5000" "-790 -590") place
  place=${places[$((RANDOM % ${#places[@]}))]}
  log "move to $place and back"
  # shellcheck disable=SC2086 # the place is two arguments
  xdotool windowmove "$win" $place 2>/dev/null || log "  xdotool failed"
  sleep "0.0$((RANDOM % 10))"
  xdotool windowmove "$win" "$wx" "$wy" 2>/dev/null || log "  xdotool failed"
  count "move off-screen and back"
}
unmap_and_map() {
  log "unmap and map"
  xdotool windowunmap "$win" 2>/dev/null || log "  xdotool failed"
  sleep "0.0$((RANDOM % 10))"
  xdotool windowmap "$win" 2>/dev/null || log "  xdotool failed"
  count "unmap and map"
}
# Q and Escape end the program, as "Exit" does, so they are never pressed;
# nor is F: leaving full screen gives the window back the size it had before,
# which may be one of the storm's 1x1 sizes long after the storm reset it.
# Every other key the program answers is.
key_press() {
  local keys=(a Return space w s l c W C F1 Up Down ctrl+c alt+F4 BackSpace)
  local key=${keys[$((RANDOM % ${#keys[@]}))]}
  log "key $key"
  xdotool key "$key" 2>/dev/null
  count "key press"
}

random_event() {
  local r
  r=$((RANDOM % 100))
  if [ "$r" -lt 20 ]; then left_in_rectangle
  elif [ "$r" -lt 35 ]; then left_outside
  elif [ "$r" -lt 43 ]; then burst
  elif [ "$r" -lt 53 ]; then other_button
  elif [ "$r" -lt 65 ]; then menu_walk
  elif [ "$r" -lt 75 ]; then resize
  elif [ "$r" -lt 80 ]; then move_away_and_back
  elif [ "$r" -lt 85 ]; then unmap_and_map
  else key_press
  fi
}

# ---- the checks every 30 s --------------------------------------------------

resident_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$program_pid/status" 2>/dev/null; }

# The window back at its normal size and place, mapped, with no menu open.
normal_window() {
  xdotool windowmap "$win" 2>/dev/null
  xdotool windowmove "$win" "$kNormalX" "$kNormalY" 2>/dev/null
  xdotool windowsize "$win" "$kNormalW" "$kNormalH" 2>/dev/null
  wx=$kNormalX wy=$kNormalY ww=$kNormalW wh=$kNormalH
  local geometry
  for _ in $(seq 200); do
    geometry=$(xdotool getwindowgeometry --shell "$win" 2>/dev/null | tr '\n' ' ')
    [[ "$geometry" == *"X=$kNormalX Y=$kNormalY WIDTH=$kNormalW HEIGHT=$kNormalH "* ]] && break
    sleep 0.02
  done
  for _ in 1 2 3; do
    close_menus && return 0
    [ -n "$(menus | awk -v h="$(menu_height 3)" -v w="$kMainMenuMinWidth" '$4 == h && $3 >= w')" ] && return 1
    log "submenus open without their menu: $(menus | tr '\n' ';')"
    count "submenu left open alone"
    adopt_submenus || return 1
  done
  close_menus
}

# The first of the window points (x y, ...) where neither the point on the
# screen nor the window point taken as a screen point lies on a menu, as
# "x y"; the last point if there is none.
free_point() {
  local point px py
  for point in "$@"; do
    read -r px py <<<"$point"
    on_menu $((wx + px)) $((wy + py)) "$px" "$py" || break
  done
  echo "$point"
}

# A left click in the window closes open menus; one on a corner no menu covers.
close_menus() {
  for _ in $(seq 10); do
    [ -z "$(menus)" ] && return 0
    # shellcheck disable=SC2046 # two coordinates
    click $(free_point "2 2" "797 2" "2 597" "797 597") 1
    sleep 0.1
  done
  [ -z "$(menus)" ]
}

# freeglut can leave a submenu on screen alone: when the pointer enters its
# entry and a click closes the menu before the program has shown it (both
# events handled in one go, as on a busy machine), the submenu is shown
# after its menu has gone, and no click closes it. As a user would: open the
# menu again and point at both entries with a submenu, which makes those
# submenus the menu's own again, so that a click closes them all.
adopt_submenus() {
  local px py main entry
  read -r px py <<<"$(free_point "400 300" "100 100" "700 100" "100 500" "700 500")"
  click "$px" "$py" 3
  main=$(menu_of 3 $((wx + px)) $((wy + py)) "$kMenuWait" main)
  [ -n "$main" ] || return 1
  read -r mx my mw _ <<<"$main"
  for entry in 0 1; do
    xdotool mousemove $((mx + mw / 2)) "$(entry_y "$my" "$entry")" 2>/dev/null
    # The entry's submenu opens at its right, level with the entry.
    for _ in $(seq 500); do
      menus | grep -q "^$((mx + mw)) $((my + 25 * entry)) " && break
      sleep 0.02
    done
  done
}

checks=0
samples=()
sample_times=()
# A click outside the rectangle, at an x of its own, must be answered.
checkpoint() {
  local elapsed=$1
  normal_window || fail "menus stay open at ${elapsed} s"
  local x=$((100 + checks % 150)) y=50
  local line="mouse clicked at $x $((kNormalH - 1 - y))"
  local before
  before=$(grep -cx "$line" "$work/stdout")
  click "$x" "$y" 1
  local answered=
  for _ in $(seq 1200); do
    if [ "$(grep -cx "$line" "$work/stdout")" -gt "$before" ]; then answered=1; break; fi
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended at ${elapsed} s"
    sleep 0.05
  done
  [ -n "$answered" ] || fail "no \"$line\" on standard output at ${elapsed} s"
  checks=$((checks + 1))
  samples+=("$(resident_kb)")
  sample_times+=("$elapsed")
}

# ---- the storm ----------------------------------------------------------------

RANDOM=$seed
start=$SECONDS
checkpoint 0
next_check=30
events=0
while [ $((SECONDS - start)) -lt "$seconds" ]; do
  random_event
  events=$((events + 1))
  sleep "0.0$((RANDOM % 5))"
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended after $events events"
  if [ $((SECONDS - start)) -ge "$next_check" ]; then
    checkpoint $((SECONDS - start))
    next_check=$((next_check + 30))
  fi
done
checkpoint $((SECONDS - start))

# "Exit" through the menu.
normal_window || fail "menus stay open at the end"
click 100 100 3
main=$(menu_of 3 $((wx + 100)) $((wy + 100)) "$kMenuWait" main)
[ -n "$main" ] || fail "the menu did not open for \"Exit\""
read -r mx my mw _ <<<"$main"
xdotool mousemove $((mx + mw / 2)) "$(entry_y "$my" 2)" click 1 2>/dev/null
status=
for _ in $(seq 1200); do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid"
    status=$?
    break
  fi
  sleep 0.05
done
program_pid_done=$program_pid
program_pid=
[ -n "$status" ] || { kill -KILL "$program_pid_done"; fail "\"Exit\" did not end the program"; }

# ---- the figures and the verdict ---------------------------------------------

echo "storm: $seconds s, seed $seed, $events events:"
for kind in "${!done_events[@]}"; do echo "  ${done_events[$kind]} $kind"; done | sort -k2
echo "storm: $checks clicks outside the rectangle answered, one every 30 s"
echo "storm: resident memory at each check (s:kB): $(paste -d: <(printf '%s\n' "${sample_times[@]}") \
  <(printf '%s\n' "${samples[@]}") | tr '\n' ' ')"
grep '^checked:' "$work/stderr" | sed 's/^/storm: /'

verdict=0
problem() { echo "storm: FAILED: $*"; verdict=1; }
[ "$status" -eq 0 ] || problem "\"Exit\" gave status $status"
grep -q 'runtime error' "$work/stderr" && problem "sanitizer report: $(grep -m1 'runtime error' "$work/stderr")"
grep -q '^GL error' "$work/stderr" && problem "$(grep -c '^GL error' "$work/stderr") GL errors"
grep -q 'GL errors 0;' "$work/stderr" || problem "no totals of GL errors"
grep -q 'program 0 (in 0 frames)' "$work/stderr" || problem "the program allocated in frames"
grep -q 'by the program between frames 0$' "$work/stderr" || problem "the program allocated between frames"
grep -q 'cannot be told apart' "$work/stderr" && problem "allocations cannot be told apart by caller"
# The baseline: the first sample at or after one minute (half the run for
# shorter runs), all at the normal window size.
base_at=$((seconds < 120 ? seconds / 2 : 60))
base=
for i in "${!samples[@]}"; do
  if [ -z "$base" ] && [ "${sample_times[$i]}" -ge "$base_at" ]; then base=${samples[$i]}; fi
  if [ -n "$base" ] && [ "${samples[$i]}" -gt $((base + base / 10)) ]; then
    problem "resident memory ${samples[$i]} kB at ${sample_times[$i]} s, more than 10 % above $base kB"
  fi
done
echo "storm: baseline resident memory $base kB (first check at or after $base_at s)"
if [ "$verdict" -eq 0 ]; then echo "storm: passed"; else tail -n 20 "$work/stderr" | sed 's/^/  /'; fi
exit "$verdict"
