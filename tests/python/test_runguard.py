"""The run guard across two processes: this one and a child Python with the same module."""

import os
import subprocess
import sys
import uuid

import pytest

# The child prints what its own guard sees, then what claiming gives: "<another running> <ran>".
# With "hold" it keeps the claim until told to go on stdin; with "die" it leaves it behind.
CHILD = """
import importlib, os, sys
guard = importlib.import_module(os.environ["RYQT_PY_MODULE"]).QRunGuard(sys.argv[1])
print(guard.isAnotherRunning(), guard.tryToRun(), flush=True)
if sys.argv[2] == "hold":
    sys.stdin.readline()
elif sys.argv[2] == "die":
    os._exit(0)  # no destructor: the claim is left behind, as by a crash
"""


@pytest.fixture
def key():
    return f"ryqt-pytest-{os.getpid()}-{uuid.uuid4().hex}"


def child(key, mode="check", **kwargs):
    args = [sys.executable, "-c", CHILD, key, mode]
    if mode == "hold":
        return subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, env=os.environ)
    done = subprocess.run(args, capture_output=True, text=True, env=os.environ, timeout=60, **kwargs)
    assert done.returncode == 0, done.stderr
    return done.stdout.strip()


def test_claim_seen_from_another_process(ryqt, key):
    guard = ryqt.QRunGuard(key)
    assert guard.tryToRun() and guard.tryToRun()  # claiming again keeps the claim
    assert not guard.isAnotherRunning()
    assert child(key) == "True False"
    guard.release()
    assert child(key) == "False True"


def test_claim_of_another_process(ryqt, key):
    holder = child(key, "hold")
    try:
        assert holder.stdout.readline().split() == ["False", "True"]
        guard = ryqt.QRunGuard(key)
        assert guard.isAnotherRunning() and not guard.tryToRun()
        holder.communicate("go\n", timeout=60)
        assert not guard.isAnotherRunning() and guard.tryToRun()
    finally:
        holder.kill() if holder.poll() is None else None


def test_claim_left_by_a_dead_process_is_cleared(ryqt, key):
    assert child(key, "die") == "False True"
    guard = ryqt.QRunGuard(key)
    assert not guard.isAnotherRunning() and guard.tryToRun()
