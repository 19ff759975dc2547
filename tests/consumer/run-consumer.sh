#!/usr/bin/env bash
# Builds the host project of this folder against the library and runs it on board.xml.
#   installed:    installs BUILD_DIR into a prefix, finds it there with find_package, and
#                 builds main.cpp again with the flags `pkg-config --cflags --libs tarvex` gives;
#   subdirectory: builds the library from this source tree inside the host (add_subdirectory).
# Usage: run-consumer.sh installed|subdirectory BUILD_DIR WORK_DIR VERSION GENERATOR CXX [LAUNCHER]
set -euo pipefail
mode=$1 build=$2 work=$3 version=$4 generator=$5 cxx=$6 launcher=${7:-}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
expected="tarvex $version built 7 entities: 2 Component 1 PCB 1 Solid_Obstruction 2 Subcomponent_Group 1 Substrate"

# No build type: no optimiser, so that compiling the library again takes least.
configure=(-G "$generator" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=)
compile=("$cxx")
if [ -n "$launcher" ]; then
    configure+=(-DCMAKE_CXX_COMPILER_LAUNCHER="$launcher")
    compile=("$launcher" "$cxx")
fi

runs_as_expected() {
    local printed
    printed=$("$1" "$here/board.xml")
    if [ "$printed" != "$expected" ]; then
        printf 'FAIL: %s printed\n  %s\nexpected\n  %s\n' "$1" "$printed" "$expected" >&2
        exit 1
    fi
}

# The host's build folder stays between runs, so that a second run rebuilds only what
# changed; its cache goes, so that every run configures from scratch.
mkdir -p "$work"
rm -f "$work/host/CMakeCache.txt"
case $mode in
installed)
    prefix=$work/prefix
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    cmake -S "$here" -B "$work/host" "${configure[@]}" -DCMAKE_PREFIX_PATH="$prefix" | tee "$work/configure.log"
    grep -q -x -- "-- Found Tarvex $version" "$work/configure.log" || {
        echo "FAIL: the installed package is not version $version" >&2
        exit 1
    }
    cmake --build "$work/host" -j2
    runs_as_expected "$work/host/consumer"

    pc_dir=$(dirname "$(find "$prefix" -name tarvex.pc)")
    flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs tarvex)
    echo "pkg-config --cflags --libs tarvex: $flags"
    # shellcheck disable=SC2086 # the flags are words
    "${compile[@]}" -o "$work/consumer-pkg-config" "$here/main.cpp" $flags
    # Nothing tells this program where a shared library of the prefix is.
    export LD_LIBRARY_PATH=$(dirname "$pc_dir")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
    runs_as_expected "$work/consumer-pkg-config"
    ;;
subdirectory)
    cmake -S "$here" -B "$work/host" "${configure[@]}" -DTARVEX_SOURCE_DIR="$repo"
    cmake --build "$work/host" -j2
    runs_as_expected "$work/host/consumer"
    ;;
*)
    echo "usage: $0 installed|subdirectory BUILD_DIR WORK_DIR VERSION GENERATOR CXX [LAUNCHER]" >&2
    exit 2
    ;;
esac
