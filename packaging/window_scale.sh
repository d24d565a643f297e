# SPDX-License-Identifier: MIT
# The game's window fitted to the desktop, for the launcher (which carries a copy of this, made when
# it is configured) and for scripts/run.sh (which sources it). sdl12-compat opens a window
# SDL12COMPAT_WINDOW_SCALING times as large as the game asks for (any number; a full-screen mode
# ignores it) and scales the picture, OpenGL's too, to fill it; the game still draws 640 × 480.
# yt_fit_window sets the variable, unless the player has, to the largest whole n for which a window
# of 640n × 480n fits within 90 % of each monitor of $DISPLAY (as xdpyinfo, from x11-utils, lists
# them, or else of the screen); when no size can be found it sets nothing: the window stays 640 × 480.
yt_fit_window() {
  [ -z "${SDL12COMPAT_WINDOW_SCALING+set}" ] || return 0
  yt_scale=$(xdpyinfo -ext XINERAMA 2>/dev/null | awk '
    /dimensions:|head #[0-9]+:/ {
      for (i = 1; i <= NF; i++) if ($i ~ /^[0-9]+x[0-9]+$/) {
        split($i, size, "x")
        n = int(9 * size[1] / 6400); m = int(9 * size[2] / 4800)
        if (m < n) n = m
        if (fit == "" || n < fit) fit = n
        break
      }
    }
    END { if (fit != "") print (fit < 1 ? 1 : fit) }') || return 0
  if [ -n "$yt_scale" ]; then export SDL12COMPAT_WINDOW_SCALING="$yt_scale"; fi
}
