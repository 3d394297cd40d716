#!/bin/sh
# Cross-builds the libraries the Windows build needs and Debian ships no mingw build
# of, from Debian's own source packages, into a prefix of static libraries:
#   cmake/windows/libraries.sh BUILD_FOLDER/windows-libraries
# Each library is built once per pinned version (a stamp in the prefix says which);
# later runs only check the stamps. The sources come through a private deb-src list in
# that folder, so the machine's apt configuration stays as it is.
#   libpng, FreeType  the editor's pictures and text, the same versions as Linux uses,
#                     so both draw the same pixels
#   libsndfile,       zorq-render's audio files and sample-rate conversion, as on Linux;
#   libsamplerate     libsndfile without the external codecs (FLAC, Ogg, MP3): WAV,
#                     AIFF and the other formats it reads and writes itself
#   GoogleTest        the suites, from the googletest package's own source tree
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(mkdir -p "$1" && cd "$1" && pwd)
prefix=$root/prefix
toolchain=$here/../mingw-w64-x86_64.cmake
jobs=${JOBS:-2}

# Debian source packages, pinned: the version that is built, and its upstream part. A
# revision of the same upstream version stands in when the archive no longer has the
# pinned one's source (a security archive drops a superseded source at once).
pinned_source() {
  case $1 in
    libpng1.6) echo 1.6.39-2+deb12u5 ;;
    freetype) echo 2.12.1+dfsg-5+deb12u4 ;;
    libsndfile) echo 1.2.0-1+deb12u1 ;;
    libsamplerate) echo 0.2.2-3 ;;
  esac
}

apt_options() {
  echo "-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=$root/apt/sources.list.d" \
       "-o Dir::State::Lists=$root/apt/lists -o Dir::Cache=$root/apt/cache" \
       "-o Debug::NoLocking=true"
}

source_lists_ready=
fetch_source() {  # package -> prints the unpacked source folder
  package=$1
  if [ -z "$source_lists_ready" ]; then
    mkdir -p "$root/apt/sources.list.d" "$root/apt/lists/partial" "$root/apt/cache/archives/partial"
    cat >"$root/apt/sources.list.d/debian-sources.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    # shellcheck disable=SC2046
    apt-get $(apt_options) update >&2
    source_lists_ready=1
  fi
  pinned=$(pinned_source "$package")
  # shellcheck disable=SC2046
  others=$(apt-cache $(apt_options) showsrc "$package" | sed -n 's/^Version: //p' |
           grep -F "${pinned%-*}-" | grep -vxF "$pinned" | sort -rV)
  for version in $pinned $others; do
    rm -rf "$root/src/$package"
    mkdir -p "$root/src/$package"
    # shellcheck disable=SC2046
    (cd "$root/src/$package" && apt-get $(apt_options) source "$package=$version" >&2) && break
    echo "libraries.sh: no source of $package $version, trying another revision" >&2
    version=
  done
  [ -n "$version" ] || { echo "libraries.sh: no source of $package ${pinned%-*}" >&2; exit 1; }
  find "$root/src/$package" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

# cmake_library name source-folder cmake-options...: configure, build, install.
cmake_library() {
  name=$1 source=$2
  shift 2
  rm -rf "$root/build/$name"
  cmake -S "$source" -B "$root/build/$name" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DZORQ_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF "$@" >&2
  nice -n 10 cmake --build "$root/build/$name" -j "$jobs" >&2
  cmake --install "$root/build/$name" >&2
}

# built name key: true when the prefix already has this library at this key.
built() { [ "$(cat "$prefix/stamps/$1" 2>/dev/null)" = "$2" ]; }
stamp() { mkdir -p "$prefix/stamps" && echo "$2" >"$prefix/stamps/$1"; }

package_library() {  # package cmake-options...
  package=$1
  shift
  key="$(pinned_source "$package") $*"  # a change of options builds it again
  built "$package" "$key" && return 0
  started=$(date +%s)
  source=$(fetch_source "$package")
  cmake_library "$package" "$source" "$@"
  stamp "$package" "$key"
  echo "libraries.sh: $package $(pinned_source "$package") built in $(($(date +%s) - started)) s" >&2
}

package_library libpng1.6 -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_TOOLS=OFF
# FreeType's gzip module with Debian's mingw zlib (its own copy would clash with it).
package_library freetype -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
package_library libsndfile -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF \
  -DBUILD_REGTEST=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF \
  -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON
package_library libsamplerate -DLIBSAMPLERATE_EXAMPLES=OFF -DBUILD_TESTING=OFF

# GoogleTest alone: no suite uses GoogleMock.
gtest_options="-DINSTALL_GTEST=ON -DBUILD_GMOCK=OFF"
gtest_key="$(dpkg-query -W -f='${Version}' googletest) $gtest_options"
if ! built googletest "$gtest_key"; then
  # shellcheck disable=SC2086
  cmake_library googletest /usr/src/googletest $gtest_options
  stamp googletest "$gtest_key"
fi
