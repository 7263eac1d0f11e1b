#!/usr/bin/env bash
# Builds the library and the kivo tool, then runs the tool's main job on the shipped examples.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kivo
./build/default/tools/kivo/kivo --version
