"""The interpreter ends normally with threads inside the module: a daemon
thread at exit, and Ctrl-C while worker threads decompose."""
import os
import subprocess
import sys
import textwrap

DAEMON_AT_EXIT = textwrap.dedent("""
    import threading, time, udecomp
    def work():
        while True:
            udecomp.decompose(udecomp.random_unitary(5, seed=1), end_stage="basic")
    threading.Thread(target=work, daemon=True).start()
    time.sleep(0.3)
""")

CTRL_C_WITH_WORKERS = textwrap.dedent("""
    import os, signal, threading, time, udecomp
    def work(stage):
        while True:
            udecomp.decompose(udecomp.random_unitary(5, seed=1), end_stage=stage)
    for stage in ("basic", "numerical"):
        threading.Thread(target=work, args=(stage,), daemon=True).start()
    threading.Timer(0.4, lambda: os.kill(os.getpid(), signal.SIGINT)).start()
    time.sleep(30)
""")


def run(program):
    return subprocess.run([sys.executable, "-c", program], capture_output=True, text=True, timeout=60,
                          env=dict(os.environ))


def test_a_daemon_thread_inside_the_module_at_exit_ends_the_process_normally():
    for _ in range(5):
        done = run(DAEMON_AT_EXIT)
        assert done.returncode == 0, done.stderr
        assert "terminate called" not in done.stderr


def test_ctrl_c_with_worker_threads_ends_with_keyboard_interrupt():
    for _ in range(3):
        done = run(CTRL_C_WITH_WORKERS)
        # Python ends an uncaught KeyboardInterrupt by SIGINT itself (130 in a shell).
        assert done.returncode in (-2, 130), done.stderr
        assert done.stderr.rstrip().endswith("KeyboardInterrupt")
