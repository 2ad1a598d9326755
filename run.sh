#!/usr/bin/env bash
# One entry point for players and developers:
#   ./run.sh play    install what is missing, build, start the game from data/
#   ./run.sh test    install what is missing, build, run the whole suite under a virtual X server
#   ./run.sh asan    the same suite built with AddressSanitizer + UndefinedBehaviorSanitizer
#   ./run.sh bench   build and run the benchmarks (ratios against reference libraries)
#   ./run.sh package build pellvane_<version>_<arch>.deb here (install it with: sudo apt install ./pellvane_*.deb)
#   ./run.sh fuzz [seconds]  run each libFuzzer target for a bounded time (default 60 s each)
#   ./run.sh levels  write data/levels/ from the maps of tools/make_levels.py (checked by pellvane --check
#                    --strict), play every level with the autopilot; write docs/levels.md and its pictures,
#                    and the README's screenshot
#   ./run.sh demo [seconds]  record the title's demo (data/demo.rec) again with the autopilot
#   ./run.sh soak [minutes]  play the shipped game with an autopilot at every frame timing (default 60
#                            simulated minutes each) and print what happened and the fault counts
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
jobs=$(nproc 2>/dev/null || echo 2)

play_packages=(cmake g++ make pkg-config libsdl1.2-dev libsdl-mixer1.2-dev libglew-dev libgl-dev libtinyxml-dev
               libgl1-mesa-dri libx11-dev libxrandr-dev)
test_packages=(libgtest-dev xvfb xauth xdotool x11-utils imagemagick fonts-dejavu-core zlib1g-dev libpng-dev
               libdeflate-dev libstb-dev python3 sox vorbis-tools dpkg-dev lintian desktop-file-utils)
package_packages=(dpkg-dev)
extra_packages=(clang libclang-rt-14-dev valgrind libspng-dev)

# Installs the Debian packages that are not installed yet; does nothing when all are there.
ensure_packages() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}" >&2
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

build() { # build-dir cmake-options...
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

run_suite() { # build-dir
    local dir=$1
    export SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11
    export LIBGL_ALWAYS_SOFTWARE=1
    export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0:fast_unwind_on_malloc=0"
    export ASAN_OPTIONS="detect_leaks=1"
    (cd "$dir" && xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 600)
}

case "${1:-}" in
play)
    ensure_packages "${play_packages[@]}"
    build build -DPELLVANE_TESTS=OFF -DPELLVANE_WERROR=OFF
    cd data && exec ../build/pellvane
    ;;
test)
    ensure_packages "${play_packages[@]}" "${test_packages[@]}"
    build build -DPELLVANE_TESTS=ON -DPELLVANE_WERROR=ON
    run_suite build
    ;;
asan)
    ensure_packages "${play_packages[@]}" "${test_packages[@]}"
    build build-asan -DPELLVANE_TESTS=ON -DPELLVANE_SANITIZE=ON -DPELLVANE_WERROR=ON -DCMAKE_BUILD_TYPE=Debug
    # Full unwinding (for leak stacks that name the system library they came from) deadlocks
    # inside llvmpipe's shader compiler; Mesa's plain software rasteriser has no compiler.
    export GALLIUM_DRIVER=softpipe
    run_suite build-asan
    ;;
package)
    ensure_packages "${play_packages[@]}" "${package_packages[@]}"
    build build-package -DPELLVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
    (cd build-package && cpack -G DEB -B "$root/build-package/deb" >&2)
    cp build-package/deb/pellvane_*.deb "$root/"
    ls "$root"/pellvane_*.deb
    ;;
bench)
    ensure_packages "${play_packages[@]}" "${test_packages[@]}" "${extra_packages[@]}"
    build build-bench -DPELLVANE_BENCH=ON -DPELLVANE_WERROR=ON -DCMAKE_BUILD_TYPE=Release
    for b in build-bench/bench/bench_*; do
        [ -x "$b" ] || continue
        echo "== $(basename "$b")"
        (cd "$root/data" && xvfb-run -a -s "-screen 0 1024x768x24 -noreset" env SDL_AUDIODRIVER=dummy "$root/$b")
    done
    echo "== start-up time"
    xvfb-run -a -s "-screen 0 1024x768x24 -noreset" python3 bench/startup_time.py build-bench/pellvane "$root"
    echo "== data checker time"
    python3 bench/check_time.py build-bench/pellvane "$root"
    ;;
soak)
    minutes=${2:-60}
    ensure_packages "${play_packages[@]}" "${test_packages[@]}"
    build build -DPELLVANE_TESTS=ON -DPELLVANE_WERROR=ON
    cd data
    SDL_AUDIODRIVER=dummy SDL_VIDEODRIVER=x11 LIBGL_ALWAYS_SOFTWARE=1 \
        xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ../build/tests/pellvane_soak "$minutes"
    ;;
demo)
    # The title's demo, recorded again on the data as it is now.
    ensure_packages "${play_packages[@]}" "${test_packages[@]}"
    build build -DPELLVANE_TESTS=ON -DPELLVANE_WERROR=ON
    (cd data && SDL_AUDIODRIVER=dummy ../build/tests/pellvane_demo . "${2:-120}")
    ;;
levels)
    # The level files from their maps, then the level report and docs/levels.md with a picture of
    # every level, and the README's screenshot.
    ensure_packages "${play_packages[@]}" "${test_packages[@]}"
    build build -DPELLVANE_TESTS=ON -DPELLVANE_WERROR=ON
    python3 tools/make_levels.py --data data build/pellvane
    python3 tools/make_level_pictures.py build/pellvane build/tests/pellvane_level_report
    ;;
fuzz)
    seconds=${2:-60}
    ensure_packages "${play_packages[@]}" "${test_packages[@]}" "${extra_packages[@]}"
    CC=clang CXX=clang++ build build-fuzz -DPELLVANE_FUZZ=ON -DPELLVANE_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
    for f in build-fuzz/fuzz/fuzz_*; do
        case "$f" in *_replay) continue ;; esac
        [ -x "$f" ] || continue
        name=$(basename "$f")
        work=$(mktemp -d)
        cp -r "fuzz/corpus/$name/." "$work/" 2>/dev/null || true
        echo "== fuzzing $name for ${seconds}s"
        "$f" -max_total_time="$seconds" -rss_limit_mb=2048 -artifact_prefix="fuzz/" "$work"
        rm -rf "$work"
    done
    ;;
*)
    sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'
    exit 2
    ;;
esac
