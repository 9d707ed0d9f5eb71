// x_waits.h -- shell functions for the drivers that steer a program's window under a virtual X
// server. Each wait polls for what it needs (the window mapped, the focus, a condition) up to
// one deadline for the whole run, so that a busy machine makes a run slower, never a failure.
#pragma once

namespace testutil {

// Put in front of a driver script. The driver sets `deadline` (date +%s) and, once the program
// runs, `pid`; `window` is set by `find_window`.
inline constexpr char kXWaits[] = R"sh(
pid=""; window=""
# within CONDITION: polls the shell condition until it holds; 1 when the deadline passes or the
# program has ended first.
within() {
  while ! eval "$1"; do
    [ -z "$pid" ] || kill -0 "$pid" 2>/dev/null || return 1
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
# find_window: the program's window once it is mapped (one that is not yet viewable cannot take
# the focus).
find_window() {
  within 'window=$(xdotool search --onlyvisible --pid "$pid" --name . 2>/dev/null | head -n 1); [ -n "$window" ]'
}
# focus: gives the window the input focus and waits until it has it (a window manager may take
# its time to map the window or to hand it the focus).
focus() {
  within '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] || { xdotool windowfocus "$window" 2>/dev/null; false; }'
}
)sh";

} // namespace testutil
