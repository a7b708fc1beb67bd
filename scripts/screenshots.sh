#!/usr/bin/env bash
# Remakes the README's screenshots (docs/screenshots/) from the real program under Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" >/dev/null
/usr/bin/python3 "$top/tools/take_screenshots.py"
