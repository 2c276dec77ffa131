#!/usr/bin/env bash
# Shared set-up for run.sh and test.sh: installs the Debian packages the build needs (only the
# missing ones), then configures and builds into build/. Safe to run again; fast when nothing changed.
# SANITIZE=1 builds the game and the tests with AddressSanitizer and UBSan into build-sanitize/
# instead (BUILD_DIR overrides either folder; the other tools are built there on request only).
# WERROR=1 (or 0) turns compiler warnings into errors (or back) in that folder, as CI builds.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  libglfw3-dev libglew-dev libbullet-dev libassimp-dev libfreetype-dev liblodepng-dev
  libinih-dev libglm-dev libgtest-dev libopenal-dev libcli11-dev libimgui-dev libmeshoptimizer-dev
  libgl1-mesa-dri libglx-mesa0 xvfb xauth fonts-dejavu-core clang-format python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  [[ $(id -u) -eq 0 ]] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_type=${BUILD_TYPE:-RelWithDebInfo}
sanitize=OFF build_dir=build targets=()
if [[ ${SANITIZE:-0} == 1 ]]; then sanitize=ON build_dir=build-sanitize targets=(--target quillmarsh quillmarsh_tests); fi
build_dir=${BUILD_DIR:-$build_dir}
werror=()
if [[ -n ${WERROR:-} ]]; then
  werror=(-DQUILLMARSH_WERROR=OFF)
  [[ $WERROR == 1 ]] && werror=(-DQUILLMARSH_WERROR=ON)
fi
if [[ ! -f $build_dir/CMakeCache.txt || ${#werror[@]} -gt 0 ]]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="$build_type" -DQUILLMARSH_SANITIZE="$sanitize" "${werror[@]}"
fi
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
