"""Many live circuits fit in memory: a finished circuit keeps a compact copy of
its gates and none of the engine's workspace (measured in a fresh interpreter)."""
import os
import subprocess
import sys
import textwrap

MEASURE = textwrap.dedent("""
    import sys, udecomp
    def status():
        fields = dict(line.split(":", 1) for line in open("/proc/self/status"))
        return int(fields["VmRSS"].split()[0]) / 1024, int(fields["VmSize"].split()[0]) / 1024
    stage, count = sys.argv[1], int(sys.argv[2])
    matrix = udecomp.random_unitary(5, seed=1)
    udecomp.decompose(matrix, end_stage=stage)  # the pool's workspace and the module's first allocations
    resident, virtual = status()
    kept = [udecomp.decompose(matrix, end_stage=stage) for _ in range(count)]
    after = status()
    print(after[0] - resident, after[1] - virtual)
""")


def growth_in_mib(stage, count):
    done = subprocess.run([sys.executable, "-c", MEASURE, stage, str(count)], capture_output=True, text=True,
                          timeout=300, env=dict(os.environ))
    assert done.returncode == 0, done.stderr
    resident, virtual = map(float, done.stdout.split())
    return resident, virtual


def test_a_thousand_fewest_cnot_circuits_and_fifty_basic_ones_stay_small():
    resident, virtual = growth_in_mib("shannon", 1000)
    assert resident < 100 / 1.048576 and virtual < 1000 / 1.048576, (resident, virtual)
    resident, virtual = growth_in_mib("basic", 50)
    assert resident < 400 / 1.048576, resident
