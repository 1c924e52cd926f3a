#!/usr/bin/env python3
"""Reads what bench/run.sh measured and prints one table: medians (with the
spread from fastest to slowest run) and Velmora's ratio to each peer, then
each goal's verdict. Sections run.sh did not run (BENCH_ONLY) are left out."""
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


def md(text):
    """A table cell's text: its own "|" escaped."""
    return text.replace("|", "\\|")


def have(*paths):
    return all((work / path).exists() for path in paths)


def kernel_rates(name):
    """GiB/s of each repetition of one kernels-bench row."""
    rows = json.loads((work / "kernels.json").read_text())["benchmarks"]
    return [row["bytes_per_second"] / (1 << 30) for row in rows
            if row["run_name"] == name and row.get("run_type") == "iteration"]


cpu = subprocess.run(["sh", "-c", "grep -m1 'model name' /proc/cpuinfo | cut -d: -f2"],
                     capture_output=True, text=True).stdout.strip()
print(f"\n{date.today()} - {cpu}, {subprocess.run(['nproc'], capture_output=True, text=True).stdout.strip()} cores, {platform.system()} {platform.release()}")
print("medians of the runs (fastest-slowest); ratio = Velmora / peer, below 1 is faster\n")
if have("load.txt"):
    print("load average (1, 5, 15 min) as each section began:")
    print((work / "load.txt").read_text())
measured = {}  # (tree, job, peer) -> ratio
if have("pack-mixed.json"):
    print("| tree | job | Velmora | peer | peer time | ratio |")
    print("|---|---|---|---|---|---|")
for tree in ("mixed", "small") if have("pack-mixed.json") else ():
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
if have("pack-mixed.json"):
    print("\nencode = pack, flush and wipe (no --keep); decode = restore, flush and delete the "
          "container")

if have("kdf.json"):
    kdf = runs("kdf.json", "key derivation")
    kdf_median = statistics.median(kdf)
    print(f"\nsealed kind: key derivation (Argon2id, 3 passes, 256 MiB; an empty folder sealed) "
          f"{cell(kdf)}")
if have("seal-mixed.json"):
    print("\n| tree | sealed job | sealed | less the key derivation | peer | peer time | ratio "
          "(less the key derivation) |")
    print("|---|---|---|---|---|---|---|")
for tree in ("mixed", "small") if have("seal-mixed.json") else ():
    for job, path, peers in (("pack", f"seal-{tree}.json", ("tar", "7z", "tar | age")),
                             ("restore", f"unseal-{tree}.json",
                              ("tar", "tar + sync", "7z", "tar | age", "tar | age + sync"))):
        ours = runs(path, "sealed")
        net = [t - kdf_median for t in ours]
        for peer in peers:
            theirs = runs(path, peer)
            measured[(tree, "sealed " + job, peer)] = ratio(net, theirs)
            measured[(tree, "sealed whole " + job, peer)] = ratio(ours, theirs)
            print(f"| {tree} | {job} | {cell(ours)} | {statistics.median(net):.3f} s | {md(peer)} | "
                  f"{cell(theirs)} | {ratio(net, theirs):.2f} |")
        if job == "pack" and have(f"pack-{tree}.json"):
            legacy_pack = runs(f"pack-{tree}.json", "velmora")
            print(f"| {tree} | pack | {cell(ours)} | {statistics.median(net):.3f} s | legacy kind | "
                  f"{cell(legacy_pack)} | {ratio(net, legacy_pack):.2f} |")
    check = statistics.median(timings(f"sealwipe-{tree}.txt", "empaquetado")) - \
        statistics.median(runs(f"seal-{tree}.json", "sealed"))
    print(f"| {tree} | flush and check from the disk before the wipe | {check:.3f} s | | | | |")
    sealed_size, tar_size = (int(n) for n in (work / f"size-{tree}.txt").read_text().split())
    measured[(tree, "size", "tar")] = sealed_size / tar_size
    print(f"| {tree} | container size | {sealed_size / 2**20:.1f} MiB | | tar | "
          f"{tar_size / 2**20:.1f} MiB | {sealed_size / tar_size:.3f} |")

rates = {}
if have("kernels.json"):
    print("\n| sealed stream, 64 MiB, parity included, on every core | GiB/s, median (slowest-fastest) |")
    print("|---|---|")
    for name, row in (("seal (chunks and parity)", "SealedSealInPlace/real_time"),
                      ("open, parity and copies checked", "SealedOpenChecked/real_time")):
        rates[name] = kernel_rates(row)
        print(f"| {name} | {statistics.median(rates[name]):.2f} "
              f"({min(rates[name]):.2f}-{max(rates[name]):.2f}) |")

repair = None
if have("repair.json"):
    # The key derivation timed in the same section.
    repair_kdf = runs("repair.json", "key derivation")
    repair = [t - statistics.median(repair_kdf) for t in runs("repair.json", "repair")]
    size = int((work / "repair-size.txt").read_text()) / 2**30
    print(f"\n| a {size:.2f} GiB sealed container, one chunk damaged | whole | less the key derivation |")
    print("|---|---|---|")
    for name, what in (("repair", "the damaged one"), ("verify", "a sound one")):
        whole = runs("repair.json", name)
        print(f"| {name} ({what}) | {cell(whole)} | "
              f"{statistics.median(whole) - statistics.median(repair_kdf):.3f} s |")
    print(f"| key derivation (an empty folder sealed) | {cell(repair_kdf)} | |")

peak = None
if have("memory-large-seal.txt"):
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

both = ("mixed", "small")
goals = [
    ("pack <= 1.0x tar on mixed", [("mixed", "pack", "tar")], 1.0),
    ("pack <= 1.0x tar on small", [("small", "pack", "tar")], 1.0),
    ("unpack <= 1.0x tar on mixed", [("mixed", "unpack", "tar")], 1.0),
    ("unpack <= 0.7x tar on small", [("small", "unpack", "tar")], 0.7),
    (">= 2x faster than 7-Zip and zip, both trees",
     [(t, j, p) for t in both for j in ("pack", "unpack") for p in ("7z", "zip")], 0.5),
    ("wipe <= 0.05x the shred pipeline on small", [("small", "wipe", "shred -n1 -u")], 0.05),
    ("encode <= 0.1x tar + shred on small", [("small", "encode", "tar + shred")], 0.1),
    ("encode <= 0.5x tar + shred on mixed", [("mixed", "encode", "tar + shred")], 0.5),
    ("decode <= 0.8x tar + sync, both trees", [(t, "decode", "tar + sync") for t in both], 0.8),
    # Version 2 of the sealed kind (issue 30), the key derivation taken off.
    ("sealed pack <= 1.0x tar -cf, both trees", [(t, "sealed pack", "tar") for t in both], 1.0),
    ("sealed restore <= 1.0x tar -xf + sync, both trees",
     [(t, "sealed restore", "tar + sync") for t in both], 1.0),
    ("sealed pack and restore ahead of 7-Zip's AES and tar | age, both trees",
     [(t, "sealed " + j, p) for t in both for j in ("pack", "restore") for p in ("7z", "tar | age")],
     1.0),
    ("sealed container <= 1.05x the tar of the same tree", [(t, "size", "tar") for t in both], 1.05),
]
print("\n| goal | result |")
print("|---|---|")
for goal, keys, limit in goals:
    if not all(k in measured for k in keys):
        continue
    worst = max(measured[k] for k in keys)
    shown = ", ".join(f"{measured[k]:.2f}" for k in keys)
    print(f"| {md(goal)} | {'met' if worst <= limit else '**not met**'}: {shown} |")
if ("mixed", "sealed whole pack", "7z") in measured:
    whole = [(t, "sealed whole " + j, "7z") for t in both for j in ("pack", "restore")]
    print("| (no goal) sealed pack and restore with the key derivation, beside 7-Zip's AES | " +
          ", ".join(f"{measured[k]:.2f}" for k in whole) + " |")
for name, rate in rates.items():
    print(f"| sealed stream with parity, {name}, >= 2 GiB/s on two cores | "
          f"{'met' if statistics.median(rate) >= 2 else '**not met**'}: "
          f"{statistics.median(rate):.2f} GiB/s |")
if repair is not None:
    print(f"| repair of one damaged chunk in a 1 GiB container < 1 s, less the key derivation | "
          f"{'met' if statistics.median(repair) < 1 else '**not met**'}: "
          f"{statistics.median(repair):.3f} s |")
if peak is not None:
    print(f"| velmora-cli peak memory < 64 MiB, 200,000 files included | "
          f"{'met' if peak < 64 else '**not met**'}: {peak:.1f} MiB at most |")
