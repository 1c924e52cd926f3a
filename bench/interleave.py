#!/usr/bin/env python3
"""Times commands in rounds, each round running every command once (after
the prepare command), so that whatever the disk does in one stretch of
time (writing back, or its first files after a mass deletion) falls on
every tool alike rather than on the one whose runs came first. Writes the
times as hyperfine's --export-json does (report.py reads either).

  interleave.py --runs N --prepare CMD --export-json FILE -n NAME CMD [-n NAME CMD]...

One untimed round comes first, as hyperfine's --warmup 1."""
import argparse
import json
import subprocess
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, required=True)
    parser.add_argument("--prepare", required=True)
    parser.add_argument("--export-json", required=True)
    parser.add_argument("-n", nargs=2, action="append", metavar=("NAME", "CMD"), required=True)
    arguments = parser.parse_args()
    times = {name: [] for name, _ in arguments.n}
    for round_number in range(arguments.runs + 1):
        for name, command in arguments.n:
            subprocess.run(arguments.prepare, shell=True, check=True)
            start = time.perf_counter()
            subprocess.run(command, shell=True, check=True)
            took = time.perf_counter() - start
            if round_number > 0:
                times[name].append(took)
        print(f"round {round_number}: " +
              ", ".join(f"{name} {values[-1]:.3f} s" for name, values in times.items() if values))
    results = [{"command": name, "times": values} for name, values in times.items()]
    with open(arguments.export_json, "w") as out:
        json.dump({"results": results}, out)


main()
