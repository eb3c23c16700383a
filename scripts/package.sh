#!/usr/bin/env bash
# Builds the Debian package of the suite (programs, libraries, headers,
# pkg-config and CMake files, man pages, examples) into build/package and
# checks it with lintian. Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/package
. scripts/compiler-cache.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVEK_WERROR=ON -DVEK_BUILD_TESTS=OFF -DVEK_BUILD_BENCH=OFF \
    -DCMAKE_C_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
    -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
    -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" -DCMAKE_SHARED_LINKER_FLAGS="-Wl,-z,relro,-z,now" \
    "${CMAKE_CACHE_ARGS[@]}"
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
deb=$(ls -t "$build"/vek_*.deb | head -n1)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Depends
if command -v lintian >/dev/null 2>&1; then
    lintian --fail-on error "$deb"
else
    echo "lintian is not installed: apt-get install lintian" >&2
fi
