#!/bin/sh
# Regenerates the bundled docking approach with the scan simulator:
#   make_docking_approach.sh <path of align_scan_sim>
# 40 scans at 10 Hz of a 270 degree, 0.5 degree laser; the target's corner
# goes from 1.55 m to 0.55 m in front of the rear laser while the robot
# reverses, with walls and three boxes of clutter at lower intensity.
set -e
here=$(dirname "$0")
rm -rf "$here/docking_approach"
"$1" --target 1.55 -0.10 3.0 --approach-to 0.55 -0.02 3.12 --scans 40 \
  --walls --clutter 3 --seed 7 \
  --bag "$here/docking_approach" --topic /back_scan \
  --truth "$here/docking_approach.truth.json"
