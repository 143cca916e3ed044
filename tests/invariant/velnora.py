"""velnora-cli as the harness drives it: its own settings folder, its own
runtime folder, `set`/`show` for the settings and `run` with signals."""

import os
import signal
import subprocess
import time

SETTINGS_FILE = "velnora4_zo400.prf"
UIDL_STORE = "velnora4uidl_zo400.mbx"
FORWARDING_LOG = "velnora_.log"


class Velnora:
    def __init__(self, binary, folder, runtime_dir, home):
        self.binary = binary
        self.folder = folder
        self.runtime_dir = runtime_dir
        self.home = home
        for d in (folder, runtime_dir, home):
            os.makedirs(d, exist_ok=True)
        os.chmod(runtime_dir, 0o700)

    def env(self):
        env = dict(os.environ)
        env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime_dir,
                   XDG_CONFIG_HOME=os.path.join(self.home, ".config"), LANG="C.UTF-8")
        return env

    def cli(self, *args, check=True):
        done = subprocess.run([self.binary, "--dir", self.folder, *args], env=self.env(),
                              cwd=self.folder, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=60)
        if check and done.returncode != 0:
            raise RuntimeError("velnora-cli %s failed: %s" % (" ".join(args),
                                                           done.stderr.decode(errors="replace")))
        return done

    def set_account(self, number, fields):
        self.cli("set", "account", str(number), *("%s=%s" % kv for kv in fields.items()))

    def set_common(self, fields):
        self.cli("set", "common", *("%s=%s" % kv for kv in fields.items()))

    def show(self, *what):
        """Field values as a dict, or None when show fails."""
        done = self.cli("show", *what, check=False)
        if done.returncode != 0:
            return None
        values = {}
        for line in done.stdout.decode(errors="replace").splitlines():
            name, sep, value = line.partition(" = ")
            if sep:
                values[name.strip()] = value
        return values

    def start(self, once):
        args = [self.binary, "--dir", self.folder, "run"] + (["--once"] if once else [])
        return subprocess.Popen(args, env=self.env(), cwd=self.folder, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)

    def finish(self, process, limit):
        """Waits for a run; one that outlives `limit` seconds is stopped with
        SIGTERM, then SIGKILL. Returns (exit code, output, hung)."""
        hung = False
        try:
            out, _ = process.communicate(timeout=limit)
        except subprocess.TimeoutExpired:
            hung = True
            process.send_signal(signal.SIGTERM)
            try:
                out, _ = process.communicate(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                out, _ = process.communicate()
        return process.returncode, out.decode(errors="replace"), hung

    def path(self, name):
        return os.path.join(self.folder, name)

    def forwarding_log(self):
        try:
            with open(self.path(FORWARDING_LOG), "rb") as f:
                return f.read()
        except OSError:
            return b""


def signal_later(process, sig, delay):
    """Sends `sig` after `delay` seconds unless the process ended first."""
    end = time.monotonic() + delay
    while time.monotonic() < end:
        if process.poll() is not None:
            return False
        time.sleep(0.01)
    if process.poll() is not None:
        return False
    process.send_signal(sig)
    return True
