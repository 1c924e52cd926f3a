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


def timings(path, part):
    """The seconds velmora-cli --timings gave for one part ("empaquetado",
    "borrado") on each run."""
    times = []
    for line in (work / path).read_text().splitlines():
        if line.startswith("tiempos:"):
            times.append(float(line.split(part + " ")[1].split(" s")[0]))
    return times


def wipe_times(tree):
    return timings(f"wipe-{tree}.txt", "borrado")


def ratio(ours, theirs):
    return statistics.median(ours) / statistics.median(theirs)


cpu = subprocess.run(["sh", "-c", "grep -m1 'model name' /proc/cpuinfo | cut -d: -f2"],
                     capture_output=True, text=True).stdout.strip()
print(f"\n{date.today()} - {cpu}, {subprocess.run(['nproc'], capture_output=True, text=True).stdout.strip()} cores, {platform.system()} {platform.release()}")
print("medians of the runs (fastest-slowest); ratio = Velmora / peer, below 1 is faster\n")
print("| tree | job | Velmora | peer | peer time | ratio |")
print("|---|---|---|---|---|---|")
measured = {}  # (tree, job, peer) -> ratio
for tree in ("mixed", "small"):
    rows = [(job, peer, runs(f"{job}-{tree}.json", "velmora"), runs(f"{job}-{tree}.json", peer))
            for job, peers in (("pack", ("tar", "7z", "zip")), ("unpack", ("tar", "7z", "zip")))
            for peer in peers]
    rows.append(("wipe", "shred -n1 -u", wipe_times(tree), runs(f"shred-{tree}.json", "shred")))
    rows.append(("encode", "tar + shred", runs(f"encode-{tree}.json", "velmora"),
                 runs(f"encode-{tree}.json", "tar + shred")))
    rows.append(("decode", "tar + sync", runs(f"decode-{tree}.json", "velmora"),
                 runs(f"decode-{tree}.json", "tar + sync")))
    for job, peer, ours, theirs in rows:
        measured[(tree, job, peer)] = ratio(ours, theirs)
        print(f"| {tree} | {job} | {cell(ours)} | {peer} | {cell(theirs)} | {ratio(ours, theirs):.2f} |")
print("\nencode = pack, flush and wipe (no --keep); decode = restore, flush and delete the container")

kdf = runs("kdf.json", "key derivation")
print(f"\nsealed kind: key derivation (Argon2id, 3 passes, 256 MiB; an empty folder sealed) "
      f"{cell(kdf)}")
print("\n| tree | sealed job | sealed | less the key derivation | peer | peer time | ratio "
      "(less the key derivation) |")
print("|---|---|---|---|---|---|---|")
kdf_median = statistics.median(kdf)
for tree in ("mixed", "small"):
    legacy_pack = runs(f"pack-{tree}.json", "velmora")
    for job, path, peers in (("pack", f"seal-{tree}.json", ("tar", "7z")),
                             ("restore", f"unseal-{tree}.json", ("tar", "tar + sync", "7z"))):
        ours = runs(path, "sealed")
        net = [t - kdf_median for t in ours]
        for peer in peers:
            theirs = runs(path, peer)
            measured[(tree, "sealed " + job, peer)] = ratio(net, theirs)
            measured[(tree, "sealed whole " + job, peer)] = ratio(ours, theirs)
            print(f"| {tree} | {job} | {cell(ours)} | {statistics.median(net):.3f} s | {peer} | "
                  f"{cell(theirs)} | {ratio(net, theirs):.2f} |")
        if job == "pack":
            print(f"| {tree} | pack | {cell(ours)} | {statistics.median(net):.3f} s | legacy kind | "
                  f"{cell(legacy_pack)} | {ratio(net, legacy_pack):.2f} |")
    check = statistics.median(timings(f"sealwipe-{tree}.txt", "empaquetado")) - \
        statistics.median(runs(f"seal-{tree}.json", "sealed"))
    print(f"| {tree} | flush and check from the disk before the wipe | {check:.3f} s | | | | |")

print("\n| tree | velmora-cli peak memory, encode | decode |")
print("|---|---|---|")
peak = 0.0
for tree in ("mixed", "small", "large"):
    encode = int((work / f"memory-{tree}-encode.txt").read_text().split()[-1]) / 1024
    decode = int((work / f"memory-{tree}-decode.txt").read_text().split()[-1]) / 1024
    peak = max(peak, encode, decode)
    print(f"| {tree} | {encode:.1f} MiB | {decode:.1f} MiB |")
print("large: 200,000 files of 0-1 KiB in 1,885 folders")
print("\n| tree | sealed peak memory, seal | restore |")
print("|---|---|---|")
for tree in ("mixed", "small", "large"):
    seal = int((work / f"memory-{tree}-seal.txt").read_text().split()[-1]) / 1024
    unseal = int((work / f"memory-{tree}-unseal.txt").read_text().split()[-1]) / 1024
    print(f"| {tree} | {seal:.1f} MiB | {unseal:.1f} MiB |")
print("of which the key derivation's own memory is 256 MiB")

goals = [
    ("pack <= 1.0x tar on mixed", [("mixed", "pack", "tar")], 1.0),
    ("pack <= 1.0x tar on small", [("small", "pack", "tar")], 1.0),
    ("unpack <= 1.0x tar on mixed", [("mixed", "unpack", "tar")], 1.0),
    ("unpack <= 0.7x tar on small", [("small", "unpack", "tar")], 0.7),
    (">= 2x faster than 7-Zip and zip, both trees",
     [(t, j, p) for t in ("mixed", "small") for j in ("pack", "unpack") for p in ("7z", "zip")], 0.5),
    ("wipe <= 0.05x the shred pipeline on small", [("small", "wipe", "shred -n1 -u")], 0.05),
    ("encode <= 0.1x tar + shred on small", [("small", "encode", "tar + shred")], 0.1),
    ("encode <= 0.5x tar + shred on mixed", [("mixed", "encode", "tar + shred")], 0.5),
    ("decode <= 0.8x tar + sync, both trees",
     [(t, "decode", "tar + sync") for t in ("mixed", "small")], 0.8),
    ("sealed pack and restore, less the key derivation, <= 1.3x tar, both trees",
     [(t, "sealed " + j, "tar") for t in ("mixed", "small") for j in ("pack", "restore")], 1.3),
    ("sealed pack and restore, less the key derivation, ahead of 7-Zip's AES, both trees",
     [(t, "sealed " + j, "7z") for t in ("mixed", "small") for j in ("pack", "restore")], 1.0),
]
print("\n| goal | result |")
print("|---|---|")
for goal, keys, limit in goals:
    worst = max(measured[k] for k in keys)
    shown = ", ".join(f"{measured[k]:.2f}" for k in keys)
    print(f"| {goal} | {'met' if worst <= limit else '**not met**'}: {shown} |")
whole = [(t, "sealed whole " + j, "7z") for t in ("mixed", "small") for j in ("pack", "restore")]
print("| (no goal) sealed pack and restore with the key derivation, beside 7-Zip's AES | " +
      ", ".join(f"{measured[k]:.2f}" for k in whole) + " |")
print(f"| velmora-cli peak memory < 64 MiB, 200,000 files included | "
      f"{'met' if peak < 64 else '**not met**'}: {peak:.1f} MiB at most |")
