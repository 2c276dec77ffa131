#!/usr/bin/env bash
# Set up (packages, build, assets) and run the whole test suite through CTest. Without a display the
# suite runs under xvfb-run, so the OpenGL tests get a real context from Mesa's llvmpipe.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
ctest_args=(--test-dir build --output-on-failure -j"$(nproc)")
if [[ -n ${DISPLAY:-} ]]; then
  exec ctest "${ctest_args[@]}" "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest "${ctest_args[@]}" "$@"
