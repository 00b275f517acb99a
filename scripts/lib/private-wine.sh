# A Wine machine of one's own for one program run (sourced after wine.sh):
# a fresh prefix (a copy of the build's template prefix, BRIM_BUILD/wine-template,
# made once and anew by each scripts/test), its own
# wineserver (Wine keys the server by prefix), its own Xvfb display and its
# own home folder, so that runs go side by side without sharing a pointer, a
# keyboard, a clipboard, a registry or the windows another run looks up by
# title. The test programs and the acceptance journeys run this way.
#
# Tricky points:
# - The template's system folders are hard links (hundreds of megabytes of
#   libraries nobody writes); everything else, the registry files above all,
#   is copied, since Wine rewrites those in place.
# - Wine links the user's shell folders (desktop, documents) to the host's
#   home folder: each run gets real folders of its own instead, so what one
#   run saves there neither reaches the host nor meets another run's.
# - A run whose script was killed (ctest's hard limit) leaves its folder
#   behind; the next run in the same root clears it once its owner is gone.

# Tears a run's machine down: its wineserver (with every process of the prefix), its display, its folder.
brim_private_down() { # run folder
  local run=$1
  [ -d "$run" ] || return 0
  if [ -d "$run/prefix" ]; then
    WINEPREFIX="$run/prefix" brim_wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -f "$run/xvfb.pid" ]; then
    kill "$(cat "$run/xvfb.pid")" 2>/dev/null || true
  fi
  rm -rf "$run"
}

brim_private_clear_stale() { # root
  local stale owner
  for stale in "$1"/run.*; do
    [ -d "$stale" ] || continue
    owner=$(cat "$stale/owner" 2>/dev/null || echo "")
    if [ -z "$owner" ] || ! kill -0 "$owner" 2>/dev/null; then brim_private_down "$stale"; fi
  done
}

BRIM_PRIVATE_TEMPLATE="$BRIM_BUILD/wine-template"

# The template prefix, made once under a lock with a display and server of its own.
brim_private_template() {
  local root=$BRIM_PRIVATE_TEMPLATE template=$BRIM_PRIVATE_TEMPLATE/prefix
  mkdir -p "$root"
  exec 8>"$root/lock"
  flock 8
  if [ ! -f "$template/.brim-ready" ]; then
    (
      export BRIM_WINE_STATE="$root/template-state" WINEPREFIX="$template"
      rm -rf "$BRIM_WINE_STATE"
      brim_start_display && brim_init_prefix
      status=$?
      brim_wineserver -k >/dev/null 2>&1 || true
      brim_wineserver -w >/dev/null 2>&1 || true
      kill "$(cat "$BRIM_WINE_STATE/xvfb.pid")" 2>/dev/null || true
      rm -rf "$BRIM_WINE_STATE"
      exit $status
    ) || { echo "the template Wine prefix could not be made" >&2; flock -u 8; exec 8>&-; return 1; }
  fi
  flock -u 8
  exec 8>&-
}

# Makes a run folder under root with its machine up, and exports WINEPREFIX, BRIM_WINE_STATE,
# HOME and DISPLAY for it; prints nothing. BRIM_PRIVATE_RUN names the folder.
brim_private_up() { # root
  local root=$1 template=$BRIM_PRIVATE_TEMPLATE/prefix entry folder
  mkdir -p "$root"
  brim_private_clear_stale "$root"
  brim_private_template || return 1
  BRIM_PRIVATE_RUN=$(mktemp -d "$root/run.XXXXXX")
  echo $$ >"$BRIM_PRIVATE_RUN/owner"
  export BRIM_PRIVATE_RUN BRIM_WINE_STATE="$BRIM_PRIVATE_RUN" WINEPREFIX="$BRIM_PRIVATE_RUN/prefix"

  mkdir "$WINEPREFIX"
  # Dot files too: without the template's update stamp Wine would update every copy at its first start.
  shopt -s dotglob
  for entry in "$template"/*; do
    [ "$(basename "$entry")" = drive_c ] || cp -a "$entry" "$WINEPREFIX/"
  done
  mkdir "$WINEPREFIX/drive_c"
  for entry in "$template"/drive_c/*; do
    [ "$(basename "$entry")" = windows ] || cp -a "$entry" "$WINEPREFIX/drive_c/"
  done
  mkdir "$WINEPREFIX/drive_c/windows"
  for entry in "$template"/drive_c/windows/*; do
    case $(basename "$entry") in
      system32|syswow64) cp -al "$entry" "$WINEPREFIX/drive_c/windows/" ;;
      *) cp -a "$entry" "$WINEPREFIX/drive_c/windows/" ;;
    esac
  done
  shopt -u dotglob
  for folder in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$folder" ]; then rm "$folder" && mkdir "$folder"; fi
  done
  # A home of its own too (caches stay shared).
  export XDG_CACHE_HOME="${XDG_CACHE_HOME:-$HOME/.cache}"
  export HOME="$BRIM_PRIVATE_RUN/home"
  mkdir -p "$HOME"

  brim_start_display || { echo "no display" >&2; return 1; }
  brim_wineserver -p </dev/null >/dev/null 2>&1 || true
}
