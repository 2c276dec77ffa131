#!/usr/bin/env bash
# Set up (packages, build, assets) and start the game from the repository root.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
exec build/quillmarsh
