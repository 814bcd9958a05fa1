#!/usr/bin/env bash
# Installs what building and testing Hourvane need on Debian 12 and builds the
# project's own SQLite from Debian's source package. Safe to run again: it only
# does what is missing.
#   bash scripts/setup-debian.sh               install and build what is missing
#   bash scripts/setup-debian.sh --sqlite-dir  print the folder of the SQLite build
#   bash scripts/setup-debian.sh --fuzz        also what fuzzing needs (clang, shapelib's
#                                              source); make check never needs it
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(dirname "$here")

SQLITE_VERSION=3.40.1
# Every flag changes the cache key, so a changed flag set builds anew.
SQLITE_FLAGS="-DSQLITE_MAX_ATTACHED=30 -DSQLITE_ENABLE_DBPAGE_VTAB -DSQLITE_DEFAULT_SYNCHRONOUS=2 -DSQLITE_DQS=0 -DSQLITE_THREADSAFE=1 -DSQLITE_DEFAULT_FOREIGN_KEYS=0 -DSQLITE_OMIT_LOAD_EXTENSION"
flag_key=$(printf '%s' "$SQLITE_FLAGS" | sha256sum | cut -c1-12)
cache_root=${XDG_CACHE_HOME:-$HOME/.cache}/hourvane
sqlite_dir=$cache_root/sqlite-$SQLITE_VERSION-$flag_key

if [ "${1:-}" = "--sqlite-dir" ]; then
  echo "$sqlite_dir"
  exit 0
fi
shapelib_dir=$cache_root/shapelib-src
if [ "${1:-}" = "--shapelib-dir" ]; then
  echo "$shapelib_dir"
  exit 0
fi
fuzz=0
[ "${1:-}" = "--fuzz" ] && fuzz=1

packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev tcl xz-utils
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6opengl6-dev
  libzip-dev libshp-dev libsimpleini-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 xauth xvfb
  poppler-utils
)

# Only for scripts/fuzz.sh: clang with libFuzzer and the sanitizers.
fuzz_packages=(clang libclang-rt-14-dev)
if [ "$fuzz" = 1 ]; then
  packages+=("${fuzz_packages[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages: ${missing[*]} (run this script as root)" >&2
    exit 1
  fi
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The fuzzing build compiles shapelib's DBF reader from Debian's source
# package, so that the sanitizers see its reads; fetched like SQLite's below,
# through a private apt configuration. Without it fuzz.sh links libshp.a.
if [ "$fuzz" = 1 ] && [ ! -f "$shapelib_dir/dbfopen.c" ]; then
  swork=$top/build/shapelib-src
  rm -rf "$swork"
  mkdir -p "$swork/apt/lists/partial" "$swork/apt/cache/archives/partial" "$swork/download"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    > "$swork/apt/sources.list"
  sapt=(-o "Dir::Etc::SourceList=$swork/apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
        -o "Dir::State::Lists=$swork/apt/lists" -o "Dir::Cache=$swork/apt/cache" -o "APT::Sandbox::User=root")
  echo "setup: downloading Debian's shapelib source package"
  if apt-get "${sapt[@]}" update >/dev/null &&
     (cd "$swork/download" && apt-get "${sapt[@]}" source --download-only shapelib >/dev/null) &&
     dpkg-source --no-check -x "$(ls "$swork/download"/shapelib_*.dsc | head -n 1)" "$swork/tree" >/dev/null; then
    mkdir -p "$shapelib_dir.tmp"
    cp "$swork/tree/dbfopen.c" "$swork/tree/safileio.c" "$swork/tree/shapefil.h" "$shapelib_dir.tmp/"
    rm -rf "$shapelib_dir"
    mv "$shapelib_dir.tmp" "$shapelib_dir"
    echo "setup: shapelib source ready in $shapelib_dir"
  else
    echo "setup: shapelib's source package could not be fetched; fuzzing links libshp.a instead" >&2
  fi
  rm -rf "$swork"
fi

if [ -f "$sqlite_dir/lib/libhvsqlite.a" ] && [ -f "$sqlite_dir/include/sqlite3.h" ]; then
  exit 0
fi

# Fetch Debian's own source package through a private apt configuration kept in
# the build tree; the system's sources and lists are never touched.
work=$top/build/sqlite-src
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/download"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
cat > "$work/apt/sources.list" <<SRC
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main
deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security bookworm-security main
SRC
apt_opts=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
          -o "APT::Sandbox::User=root")
echo "setup: downloading Debian's sqlite3 source package"
apt-get "${apt_opts[@]}" update
(cd "$work/download" && apt-get "${apt_opts[@]}" source --download-only sqlite3)
dsc=$(ls "$work/download"/sqlite3_${SQLITE_VERSION}*.dsc | head -n 1)
# dpkg-source applies every patch of debian/patches/series.
dpkg-source --no-check -x "$dsc" "$work/tree"
grep -q "^$SQLITE_VERSION" "$work/tree/VERSION" || { echo "setup: unexpected SQLite version" >&2; exit 1; }

echo "setup: generating the amalgamation"
mkdir -p "$work/tree/bld"
(cd "$work/tree/bld" && ../configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)

stage=$sqlite_dir.tmp
rm -rf "$stage"
mkdir -p "$stage/src" "$stage/include" "$stage/lib"
cp "$work/tree/bld/sqlite3.c" "$work/tree/bld/sqlite3.h" "$stage/src/"
cp "$work/tree/ext/recover/sqlite3recover.c" "$work/tree/ext/recover/sqlite3recover.h" \
   "$work/tree/ext/recover/dbdata.c" "$stage/src/"
cp "$here/sqlite/CMakeLists.txt" "$stage/src/"
cp "$work/tree/bld/sqlite3.h" "$work/tree/ext/recover/sqlite3recover.h" "$stage/include/"

echo "setup: compiling SQLite"
cmake -S "$stage/src" -B "$stage/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      "-DHV_SQLITE_FLAGS=$SQLITE_FLAGS" >/dev/null
cmake --build "$stage/build" >/dev/null
cp "$stage/build/libhvsqlite.a" "$stage/lib/"
rm -rf "$stage/build"
echo "$SQLITE_FLAGS" > "$stage/FLAGS"
mkdir -p "$cache_root"
rm -rf "$sqlite_dir"
mv "$stage" "$sqlite_dir"
rm -rf "$work"
echo "setup: SQLite $SQLITE_VERSION ready in $sqlite_dir"
