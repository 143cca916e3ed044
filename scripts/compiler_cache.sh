# Sourced by the build scripts: compile through ccache when it is installed,
# with paths taken relative to the checkout, so that a fresh clone of the
# same sources (CI) reuses what an earlier build compiled. Sets
# VELNORA_LAUNCHER_ARGS (empty without ccache or with VELNORA_NO_CCACHE=1).
VELNORA_LAUNCHER_ARGS=()
if [ -z "${VELNORA_NO_CCACHE:-}" ] && command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
  # The build folder's own path stays out of the hash (debug information
  # then names the folder of the first build), so another clone hits too.
  export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
  export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-10G}"
  VELNORA_LAUNCHER_ARGS=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
