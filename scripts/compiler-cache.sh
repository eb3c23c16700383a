# Sourced by the build scripts: when ccache is installed, CMAKE_CACHE_ARGS
# holds the arguments that put it in front of the compilers. The tests use a
# precompiled header, which ccache caches only with this sloppiness.
CMAKE_CACHE_ARGS=()
if command -v ccache >/dev/null 2>&1; then
    CMAKE_CACHE_ARGS=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
    # Paths relative to the checkout, so another clone of the same sources
    # (a CI run, a worktree) hits the same cache entries.
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi
