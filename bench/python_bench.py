#!/usr/bin/env python3
"""What the udecomp Python module adds to the engine's own time.

Run after a build:  PYTHONPATH=build/python python3 bench/python_bench.py [build/udecomp]

Prints, as medians of wall-clock time:
  - a 2-qubit decompose: the whole call, the engine's own time inside it (the run's
    stage times), and the difference, which is what the module adds;
  - 1,000 two-qubit decompositions in a row;
  - a 5-qubit basic-gate decompose beside the command line's in-process time of the
    same matrix (--random 5 --seed 1: the run's totalSeconds in its --json summary). The
    command line runs in a fresh process on a fresh workspace, so on a loaded machine this
    comparison is noisier than the module's own difference above;
  - the same beside it for the fewest-CNOT route (end stage "shannon").
The driver counts the CNOTs of its report after its last stage time is taken, so "module
adds" holds that count too: about 0.4 to 0.7 ms for the 137,009 gates of a 5-qubit basic circuit.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

import udecomp


def engine_seconds(circuit):
    return sum(stage["seconds"] for stage in circuit.stages)


def timed_calls(matrix, repeats, **options):
    walls, engines = [], []
    for _ in range(repeats):
        start = time.perf_counter()
        circuit = udecomp.decompose(matrix, **options)
        walls.append(time.perf_counter() - start)
        engines.append(engine_seconds(circuit))
    added = [wall - engine for wall, engine in zip(walls, engines)]
    return statistics.median(walls), statistics.median(engines), statistics.median(added)


def command_line_seconds(program, qubits, seed, repeats, end_stage):
    times = []
    with tempfile.TemporaryDirectory() as folder:
        summary = os.path.join(folder, "run.json")
        for _ in range(repeats):
            subprocess.run([program, "--random", str(qubits), "--seed", str(seed), "--end-stage", end_stage,
                            "--json", summary],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
            with open(summary, encoding="utf-8") as file:
                times.append(json.load(file)["totalSeconds"])
    return statistics.median(times)


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join("build", "udecomp")

    two = udecomp.random_unitary(2, seed=1)
    timed_calls(two, 20)  # warm the thread's workspace
    wall, engine, added = timed_calls(two, 500)
    print(f"2 qubits, one decompose: {wall * 1e3:.3f} ms, engine {engine * 1e3:.3f} ms, "
          f"module adds {added * 1e3:.3f} ms (target: the call well under 1 ms)")

    rounds = []
    for _ in range(5):
        start = time.perf_counter()
        for _ in range(1000):
            udecomp.decompose(two)
        rounds.append(time.perf_counter() - start)
    print(f"1,000 two-qubit decompositions: {statistics.median(rounds):.3f} s (target: under 1 s)")

    five = udecomp.random_unitary(5, seed=1)
    repeats = 9
    for stage, title in [("basic", "basic gates"), ("shannon", "fewest CNOTs")]:
        wall, engine, added = timed_calls(five, repeats, end_stage=stage)
        print(f"5 qubits, {title}: {wall * 1e3:.2f} ms, engine {engine * 1e3:.2f} ms, "
              f"module adds {added * 1e3:.2f} ms (target: at most 1 ms)")
        if os.access(program, os.X_OK):
            cli = command_line_seconds(program, 5, 1, repeats, stage)
            print(f"5 qubits, {title}, command line in-process: {cli * 1e3:.2f} ms; "
                  f"module call minus it: {(wall - cli) * 1e3:+.2f} ms")
        else:
            print(f"(no command line at {program}: its in-process time is not compared)")

if __name__ == "__main__":
    main()
