#!/usr/bin/env python3
"""Reads what bench/run.sh measured and prints one table: medians (with the
spread from fastest to slowest run) and Velmora's ratio to each peer."""
import json
import platform
import statistics
import subprocess
import sys
from datetime import date
from pathlib import Path

work = Path(sys.argv[1])


def runs(path, name):
    for result in json.loads((work / path).read_text())["results"]:
        if result["command"] == name:
            return result["times"]
    raise KeyError(name)


def cell(times):
    return f"{statistics.median(times):.3f} s ({min(times):.3f}-{max(times):.3f})"


def wipe_times(tree):
    times = []
    for line in (work / f"wipe-{tree}.txt").read_text().splitlines():
        if line.startswith("timings:"):
            times.append(float(line.split("wipe ")[1].split(" s")[0]))
    return times


cpu = subprocess.run(["sh", "-c", "grep -m1 'model name' /proc/cpuinfo | cut -d: -f2"],
                     capture_output=True, text=True).stdout.strip()
print(f"\n{date.today()} - {cpu}, {subprocess.run(['nproc'], capture_output=True, text=True).stdout.strip()} cores, {platform.system()} {platform.release()}")
print("medians of the runs (fastest-slowest); ratio = Velmora / peer, below 1 is faster\n")
print("| tree | job | Velmora | peer | peer time | ratio |")
print("|---|---|---|---|---|---|")
for tree in ("mixed", "small"):
    for job, peers in (("pack", ("tar", "7z", "zip")), ("unpack", ("tar", "7z", "zip"))):
        ours = runs(f"{job}-{tree}.json", "velmora")
        for peer in peers:
            theirs = runs(f"{job}-{tree}.json", peer)
            ratio = statistics.median(ours) / statistics.median(theirs)
            print(f"| {tree} | {job} | {cell(ours)} | {peer} | {cell(theirs)} | {ratio:.2f} |")
    ours = wipe_times(tree)
    theirs = runs(f"shred-{tree}.json", "shred")
    ratio = statistics.median(ours) / statistics.median(theirs)
    print(f"| {tree} | wipe | {cell(ours)} | shred -n1 -u | {cell(theirs)} | {ratio:.2f} |")
print("\n| tree | velmora-cli peak memory, encode | decode |")
print("|---|---|---|")
for tree in ("mixed", "small"):
    encode = int((work / f"memory-{tree}-encode.txt").read_text().split()[-1]) / 1024
    decode = int((work / f"memory-{tree}-decode.txt").read_text().split()[-1]) / 1024
    print(f"| {tree} | {encode:.1f} MiB | {decode:.1f} MiB |")
