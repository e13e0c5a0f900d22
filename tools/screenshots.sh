#!/usr/bin/env bash
# Makes the README's pictures of the real program on a private X server: four
# screenshots (in "Lit" at rest and with the flame lit, the flame lit in
# "Smooth", and wireframe) and the animation at the top of the README,
# lighter.gif, in "Lit": two sparks, the flame lit and "Rotate" cycling its
# colours, about six seconds.
#   tools/screenshots.sh [OUTPUT_DIR]
# Default: docs. Builds the program with the CMake preset "default" (in
# build/). Needs Xvfb, xdotool, xwd, xwininfo and ImageMagick.
set -euo pipefail
# shellcheck source=tools/xsession.sh
source "$(dirname "$0")/xsession.sh"
mkdir -p "${1:-$xsession_root/docs}"
out=$(cd "${1:-$xsession_root/docs}" && pwd)

# The animation: frames taken every `period_ms` (as steadily as xwd keeps
# up; each frame shows as long as it really lasted), the part of the window
# that holds the lighter, the flame and the menu, scaled down; a README
# picture stays under gif_budget bytes.
period_ms=50
gif_crop="560x560+200+40"
gif_size=420
gif_budget=$((3 * 1024 * 1024))

build_program
start_x

# -- The four screenshots.
start_lighter "" --mode lit
still() {
  sleep 0.5  # let a few frames pass; frames come continuously
  shoot "$out/$1"
  echo "screenshots: wrote $out/$1"
}
still lighter-at-rest.png
light_flame
sleep 2  # the first flame still shows the start-up spread of colours
still lighter-flame.png
pick_menu 1 1  # "Mesh Modes", "Smooth"
still lighter-smooth.png
click 400 450  # flame out
pick_menu 1 0  # "Mesh Modes", "Wireframe"
still lighter-wireframe.png
stop_lighter

# -- The animation.
# What happens, each step a pause in milliseconds after the step before: two
# sparks, the click that lights the flame, then the menu's "Flame Colors",
# "Rotate" (entry 4 of its submenu), opened beside the flame so that the
# recording shows it, and the colours cycling to the end. Each menu step
# waits for the menus to show for a few frames (when_menus).
scene=(
  400 "spark 1"
  500 "spark 2"
  500 "light"
  700 "menu_open 560 60"
  0 "when_menus 1 menu_enter 0"
  0 "when_menus 2 menu_point 4"
  0 "when_menus 2 menu_click"
  3200 "finish"
)
# A spark shows for 70 ms, from the program's first frame after the click;
# the next frame is taken no sooner than this after the click. Its number is
# kept to check that it shows the spark.
spark_delay_us=35000
spark() {
  click $((390 + $1)) 450
  local at=$((${EPOCHREALTIME/./} + spark_delay_us))
  if ((next < at)); then next=$at; fi
  echo "$count" >>"$frames/sparks"
}
# The flame is lit once both sparks are printed, so that no click is lost.
light() {
  wait_for sparks_printed 2
  click 393 450
}
# Runs the rest of its arguments once N menus have shown in menu_frames
# frames in a row, so that the recording shows them; until then returns
# $not_yet, and the action is tried again after the next frame.
not_yet=3
menu_frames=3
menus_seen=0
when_menus() {
  if menus_shown "$1"; then menus_seen=$((menus_seen + 1)); else menus_seen=0; fi
  ((menus_seen >= menu_frames)) || return "$not_yet"
  menus_seen=0
  "${@:2}"
}
finish() { :; }

sleep_until() {
  local now=${EPOCHREALTIME/./}
  if (($1 > now)); then sleep "$(printf '%d.%06d' $((($1 - now) / 1000000)) $((($1 - now) % 1000000)))"; fi
}

# Runs the program and records the scene into $frames: one loop takes a
# frame every period_ms (as steadily as xwd keeps up) and acts the scene
# right after a frame, so that the pace stays even. Each frame is numbered
# and listed in $frames/times with the moment xwd ran, in microseconds:
# halfway between its start and its end.
record_scene() {
  rm -rf "$frames"
  mkdir -p "$frames"
  start_lighter "" --mode lit
  local period_us=$((period_ms * 1000)) last_step step=0 action status shot_start shot_end
  last_step=${EPOCHREALTIME/./}
  next=$last_step
  count=0
  while :; do
    sleep_until "$next"
    shot_start=${EPOCHREALTIME/./}
    # The X server refuses a picture of the window for an instant as a menu
    # closes: that frame is left out, and the one before it lasts longer.
    if xwd -silent -id "$window" >"$frames/$count.xwd" 2>/dev/null; then
      shot_end=${EPOCHREALTIME/./}
      echo "$(((shot_start + shot_end) / 2))" >>"$frames/times"
      count=$((count + 1))
    else
      shot_end=${EPOCHREALTIME/./}
    fi
    # Late by more than a period (a loaded machine): go on from now rather
    # than take a burst of frames to catch up.
    next=$((next + period_us))
    if ((next < shot_end)); then next=$shot_end; fi
    if ((step < ${#scene[@]} && shot_end - last_step >= scene[step] * 1000)); then
      action=${scene[step + 1]}
      status=0
      $action || status=$?
      if ((status == 0)); then
        step=$((step + 2))
        last_step=${EPOCHREALTIME/./}
      elif ((status != not_yet)); then
        echo "screenshots: \"$action\" failed" >&2
        exit 1
      fi
      if [ "$action" = finish ]; then break; fi
    fi
  done
  stop_lighter
}

# Whether each spark shows in the frame taken after its click or the one
# after: the lighter at rest does not move, so a spark is a difference from
# the first frame.
sparks_recorded() {
  local first changed
  while read -r first; do
    changed=0
    for i in "$first" $((first + 1)); do
      if (($(compare -metric AE -fuzz 10% "xwd:$frames/0.xwd" "xwd:$frames/$i.xwd" null: 2>&1) > 50)); then
        changed=1
      fi
    done
    ((changed)) || return 1
  done <"$frames/sparks"
}

# A loaded machine can be late with the frame that shows a spark: then the
# scene is recorded again.
frames="$xsession_tmp/frames"
for attempt in 1 2 3 4 5; do
  record_scene
  if sparks_recorded; then break; fi
  echo "screenshots: a spark fell between two frames (attempt $attempt); recording again"
  if ((attempt == 5)); then exit 1; fi
done

# Each frame's delay, in the hundredths of a second GIF counts in, is the
# time to the next frame, rounded so that the delays add up to the real
# length of the recording; the last frame keeps the average.
gif_frames=()
mapfile -t times <"$frames/times"
first=${times[0]}
last=${times[$((count - 1))]}
for ((i = 0; i < count; i++)); do
  if ((i + 1 < count)); then
    delay=$((((times[i + 1] - first) + 5000) / 10000 - ((times[i] - first) + 5000) / 10000))
  else
    delay=$((((last - first) / (count - 1) + 5000) / 10000))
  fi
  # PNG24: every frame in colour, even a frame without any (ImageMagick
  # would otherwise store it grey, and the GIF would follow it).
  convert "xwd:$frames/$i.xwd" -crop "$gif_crop" +repage -resize "${gif_size}x${gif_size}" \
    "PNG24:$frames/$i.png"
  gif_frames+=(-delay "$delay" "$frames/$i.png")
done
convert "${gif_frames[@]}" -loop 0 -layers Optimize "$out/lighter.gif"
size=$(stat -c %s "$out/lighter.gif")
median=$(for ((i = 1; i < count; i++)); do echo $(((times[i] - times[i - 1]) / 1000)); done |
  sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
echo "screenshots: wrote $out/lighter.gif, $count frames in $(((last - first) / 1000)) ms" \
  "(median $median ms apart, $period_ms asked), $size bytes"
if ((median > 2 * period_ms)); then
  echo "screenshots: the machine was too busy for an even animation; run again when it is quieter"
fi
if ((size > gif_budget)); then
  echo "screenshots: lighter.gif is over $gif_budget bytes" >&2
  exit 1
fi
