#!/usr/bin/env bash
# A/B of two inflater versions: A is src/graphics/Inflate.cpp and Adler32.cpp at a git revision
# (default HEAD), B the working copy. Both are compiled as the project compiles them, with their
# public names renamed, and linked into one program beside libdeflate. Needs a configured build
# directory with the benchmarks built (for the shared bench helpers and the engine libraries).
# Usage: bench/inflate_ab/run.sh [build-dir] [revision] [6|9|p|s]  (s: the corpus's three kinds of data apart)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build-inflate}" && pwd)"
rev="${2:-HEAD}"
work="$build/inflate_ab"
mkdir -p "$work"
flags=(-O3 -DNDEBUG -std=c++17 -I"$build/layers/graphics" -isystem /usr/include/SDL)
rename() {
    echo -DzlibDecompress=zlibDecompress_$1 -DInflater=Inflater_$1 -DinflateUsePortableCode=inflateUsePortableCode_$1 \
        -DInflateOutput=InflateOutput_$1 -Dadler32=adler32_$1 -Dadler32Update=adler32Update_$1 \
        -Dadler32UsePortableCode=adler32UsePortableCode_$1
}
git -C "$root" show "$rev:src/graphics/Inflate.cpp" > "$work/InflateA.cpp"
git -C "$root" show "$rev:src/graphics/Adler32.cpp" > "$work/Adler32A.cpp"
# The old files include the current headers; they must not depend on changes made to them since.
c++ "${flags[@]}" $(rename A) -c "$work/InflateA.cpp" -o "$work/a.o"
c++ "${flags[@]}" $(rename A) -c "$work/Adler32A.cpp" -o "$work/a_adler.o"
c++ "${flags[@]}" $(rename B) -c "$root/src/graphics/Inflate.cpp" -o "$work/b.o"
c++ "${flags[@]}" $(rename B) -c "$root/src/graphics/Adler32.cpp" -o "$work/b_adler.o"
c++ "${flags[@]}" -c "$root/bench/inflate_ab/ab.cpp" -o "$work/ab.o"
c++ -o "$work/ab" "$work/ab.o" "$work/a.o" "$work/a_adler.o" "$work/b.o" "$work/b_adler.o" "$build/bench/libbench_helpers.a" \
    "$build/libpellvane_graphics.a" "$build/libpellvane_base.a" -lz -lpng -ldeflate -lspng -lSDL
"$work/ab" "${3:-}"
