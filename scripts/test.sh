#!/usr/bin/env bash
# Set up (packages, build, assets) and run the whole test suite through CTest. Without a display the
# suite runs under xvfb-run, so the OpenGL tests get a real context from Mesa's llvmpipe.
# SANITIZE=1 builds and runs it with AddressSanitizer and UBSan in build-sanitize/, where any report
# fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir=build
if [[ ${SANITIZE:-0} == 1 ]]; then build_dir=build-sanitize; fi
build_dir=${BUILD_DIR:-$build_dir}
ctest_args=(--test-dir "$build_dir" --output-on-failure -j"$(nproc)")
if [[ -n ${DISPLAY:-} ]]; then
  exec ctest "${ctest_args[@]}" "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest "${ctest_args[@]}" "$@"
