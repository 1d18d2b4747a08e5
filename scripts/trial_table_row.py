#!/usr/bin/env python3
"""One markdown row from align_dock_trials' JSON lines on stdin.

Usage: trial_table_row.py SCANNER PARAMETERS PROGRAM
Errors are the simulator's true final errors; a trial counts as within a
tolerance only when it docked and along, across and heading are all inside.
"""
import json
import statistics
import sys


def within(run, metres, degrees):
    error = run['final_error']
    return (run['docked'] and abs(error['along_m']) <= metres and abs(error['across_m']) <= metres
            and abs(error['heading_deg']) <= degrees)


def median_and_worst(runs, key, scale, digits):
    values = [abs(run['final_error'][key]) * scale for run in runs]
    if not values:
        return '-'
    return f'{statistics.median(values):.{digits}f} / {max(values):.{digits}f}'


def main():
    scanner, parameters, program = sys.argv[1:4]
    runs = [json.loads(line) for line in sys.stdin if line.startswith('{')]
    docked = [run for run in runs if run['docked']]
    mean_time = f"{statistics.mean(run['time_s'] for run in docked):.1f}" if docked else '-'
    cells = [
        scanner, parameters, program, f'{len(docked)} of {len(runs)}',
        str(sum(within(run, 0.01, 1.0) for run in runs)), str(sum(within(run, 0.02, 2.0) for run in runs)),
        median_and_worst(docked, 'along_m', 1000.0, 1), median_and_worst(docked, 'across_m', 1000.0, 1),
        median_and_worst(docked, 'heading_deg', 1.0, 2), mean_time,
    ]
    print('| ' + ' | '.join(cells) + ' |')


if __name__ == '__main__':
    main()
