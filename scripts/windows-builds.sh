# Sourced by the test and demo commands: configures and builds the Windows
# tree of one architecture, build/win-x86 (32-bit hosts) or build/win-x64
# (64-bit hosts), from the same lists with that architecture's toolchain.
# windows_build ARCH [cmake --build arguments...]
windows_build() {
  local arch=$1; shift
  local here; here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  local out="${WP_BUILD_DIR:-$here/build}/win-$arch" toolchain
  case "$arch" in
    x86) toolchain=mingw32.cmake ;;
    x64) toolchain=mingw64.cmake ;;
    *) echo "windows_build: no architecture $arch (x86 or x64)" >&2; return 2 ;;
  esac
  cmake -S "$here" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$out" -j"$(nproc)" "$@"
}
