# Shared settings of the project's scripts (sourced, not run).
BRIM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BRIM_DEPS=${BRIM_DEPS:-/var/cache/brimsafe-deps}
BRIM_BUILD=${BRIM_BUILD:-$BRIM_ROOT/build}
export BRIM_ROOT BRIM_DEPS BRIM_BUILD

# Prefix folders of the cross-built dependencies (the current versions).
brim_dep_prefix() { # name: cryptopp | libjpeg
  local d
  for d in "$BRIM_DEPS/$1"-*; do [ -f "$d/.done" ] && { echo "$d"; return 0; }; done
  return 1
}
