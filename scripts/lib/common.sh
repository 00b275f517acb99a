# Shared settings of the project's scripts (sourced, not run).
#
# Architecture: the product is 32-bit (i686), but some machines cannot execute
# 32-bit programs at all, and 32-bit Wine with them. There the same sources are
# built and run as 64-bit Windows programs (x86_64) under Wine's 64-bit loader.
# BRIM_ARCH (i686 or x86_64) chooses; unset, it is i686 where 32-bit Wine runs
# here, else x86_64. Each architecture has its own build folder (one CMake
# cache cannot switch toolchains) and its own dependency prefixes.
BRIM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BRIM_DEPS=${BRIM_DEPS:-/var/cache/brimsafe-deps}
export BRIM_ROOT BRIM_DEPS

BRIM_ALL_ARCHS="i686 x86_64"

# What ships, and all that scripts/run lays out: the programs, the crypto DLL and the help file.
BRIM_SHIPPED_TARGETS="Brimsafe Uninstall Install Tutorial QZ_Cryptography BrimsafeHelp"

brim_mingw_prefix() { echo "$1-w64-mingw32"; }   # arch
brim_default_build_dir() { # arch
  case $1 in
    i686) echo "$BRIM_ROOT/build" ;;
    *) echo "$BRIM_ROOT/build64" ;;
  esac
}
brim_wine_loader() { # arch
  case $1 in
    i686) echo /usr/lib/wine/wine ;;
    *) echo /usr/lib/wine/wine64 ;;
  esac
}

# Whether the kernel executes 32-bit x86 programs: runs a 93-byte static i386
# program whose only instruction is exit(0). Needs nothing installed, so setup
# can ask before it adds the i386 architecture.
brim_kernel_runs_i686() {
  local probe status
  probe=$(mktemp "${TMPDIR:-/tmp}/brim-i686-probe.XXXXXX") || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\270\1\0\0\0\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" >/dev/null 2>&1
  status=$?
  rm -f "$probe"
  return $status
}

# Whether Wine's loader for the architecture is installed and executes here.
brim_wine_runs() { # arch
  local loader; loader=$(brim_wine_loader "$1")
  [ -x "$loader" ] && "$loader" --version >/dev/null 2>&1
}

# The architectures whose programs run here, the product's first.
brim_runnable_archs() {
  local arch list=""
  for arch in $BRIM_ALL_ARCHS; do
    brim_wine_runs "$arch" && list="$list $arch"
  done
  echo $list
}

# Sets BRIM_ARCH (if unset) and BRIM_BUILD (if unset) and exports both.
brim_select_arch() {
  if [ -z "${BRIM_ARCH:-}" ]; then
    BRIM_ARCH=$(brim_runnable_archs | awk '{print $1}')
    [ -n "$BRIM_ARCH" ] || { echo "no Wine loader runs on this machine; run scripts/setup" >&2; return 1; }
  fi
  case $BRIM_ARCH in
    i686|x86_64) ;;
    *) echo "BRIM_ARCH must be i686 or x86_64, not '$BRIM_ARCH'" >&2; return 1 ;;
  esac
  BRIM_BUILD=${BRIM_BUILD:-$(brim_default_build_dir "$BRIM_ARCH")}
  export BRIM_ARCH BRIM_BUILD
}

# The folder that holds one architecture's cross-built dependencies.
brim_deps_dir() { echo "$BRIM_DEPS/$1"; }   # arch

# Prefix folder of a cross-built dependency (the current version) for an arch.
brim_dep_prefix() { # name: cryptopp | libjpeg, arch
  local d
  for d in "$(brim_deps_dir "$2")/$1"-*; do [ -f "$d/.done" ] && { echo "$d"; return 0; }; done
  return 1
}
