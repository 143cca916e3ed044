"""Runs one seed: servers, proxies and velnora-cli set up in a folder of
their own, the scenario's steps with their faults, passes until nothing
changes, then the checker."""

import os
import signal
import subprocess
import tempfile
import threading
import time

from checker import Checker, Facts, collect_copies, collect_subjects
from fault_proxy import FaultProxy
from mailgen import tokens_in
from scenario import WATCHDOG_MINUTES, WATCHDOG_STALL

KILL_SETTLE_SECONDS = 1.0
from servers import Dovecot, Sink, remove_tree
from velnora import FORWARDING_LOG, SETTINGS_FILE, UIDL_STORE, Velnora, signal_later

WATCHDOG_RUN = 13.5 * 60  # `run` with the watchdog step, then SIGTERM
RUN_LIMIT = 150          # seconds one faulty `run --once` may take before it counts as hung
SETTLE_RUNS = 6
FULL_DISK = "64k"
ROOMY_DISK = "64m"
STORE_SIZE = lambda capacity: 400 * (4 + 72 * capacity) + 16


FORWARDED_CODES = {b"0", b"2", b"7", b"25"}


def forwarded_subjects(log):
    """Subjects of the forwarding-log rows that record a forwarded message
    (fields: version, code, size, time, subject, ...)."""
    subjects = set()
    for line in log.split(b"\n"):
        fields = line.split(b";")
        if len(fields) > 4 and fields[0] == b"V1" and fields[1] in FORWARDED_CODES:
            subjects.add(fields[4])
    return subjects


class SeedRun:
    def __init__(self, scenario, binary, workdir, verbose=False):
        self.s = scenario
        self.binary = binary
        self.root = tempfile.mkdtemp(prefix="velnora-invariant-%s-" % scenario.seed, dir=workdir)
        os.chmod(self.root, 0o755)  # Dovecot's unprivileged processes must reach it
        self.verbose = verbose
        self.facts = Facts()
        self.notes = []
        self.transcript = open(os.path.join(self.root, "transcript.txt"), "w")
        self.mounted = False
        self.capacity = 10000
        self.fired = 0   # proxy faults that fired (drawn ones may find no such step)

    def say(self, text):
        self.transcript.write(text + "\n")
        self.transcript.flush()
        if self.verbose:
            print("  " + text, flush=True)

    # ---- set-up and tear-down -------------------------------------------------
    def start(self):
        self.dovecot = Dovecot(os.path.join(self.root, "dovecot"),
                               {a.user: a.password for a in self.s.accounts})
        self.dovecot.start()
        self.sink = Sink(os.path.join(self.root, "sink"))
        self.sink.start()
        self.pop = FaultProxy("pop", self.dovecot.port)
        self.smtp = FaultProxy("smtp", self.sink.port)
        runtime = os.path.join(self.root, "runtime")
        os.makedirs(runtime)
        if os.geteuid() == 0 and subprocess.run(
                ["mount", "-t", "tmpfs", "-o", "size=%s,mode=700" % ROOMY_DISK, "tmpfs", runtime],
                stderr=subprocess.DEVNULL).returncode == 0:
            self.mounted = True
        self.cli = Velnora(self.binary, os.path.join(self.root, "cwd"), runtime,
                           os.path.join(self.root, "home"))
        self.settings_dir = os.path.join(self.root, "home", ".config", "velnora")
        self.cli.set_common(self.s.common)
        for a in self.s.accounts:
            fields = dict(enabled=1, accountName=a.name, popServer="127.0.0.1",
                          popPort=self.pop.port, popUser=a.user, popPassword=a.password,
                          smtpServer="127.0.0.1", smtpPort=self.smtp.port,
                          myAddress="user%d@harness.test" % a.number, forwardTo=a.forward_to,
                          pollInterval=1)
            fields.update(a.options)
            self.cli.set_account(a.number, fields)
        self.settings_size = os.path.getsize(self.file(SETTINGS_FILE))

    def stop(self, keep):
        for part in ("pop", "smtp"):
            if hasattr(self, part):
                getattr(self, part).stop()
        for part in ("sink", "dovecot"):
            if hasattr(self, part):
                getattr(self, part).stop()
        if self.mounted:
            subprocess.run(["umount", "-l", self.cli.runtime_dir], stderr=subprocess.DEVNULL)
        self.transcript.close()
        if not keep:
            remove_tree(self.root)

    def file(self, name):
        return os.path.join(self.settings_dir, name)

    # ---- one run -----------------------------------------------------------
    def run_once(self, step=None):
        kill = step.kill if step else None
        accepted_before = len(self.sink.accepted())
        self.pop.arm(step.faults if step else [])
        self.smtp.arm(step.faults if step else [])
        self.sink.script(step.refusals if step else [])
        if step and step.full_disk and self.mounted:
            self.remount(FULL_DISK)
        watchdog = bool(step and step.watchdog)
        if watchdog:
            # The only time-out left is the hour-long readability wait, so the
            # pass hangs until the watchdog ends it.
            self.cli.set_common({"timeoutSec": 0, "restartStuckWorker": 1,
                                 "stuckWorkerMinutes": WATCHDOG_MINUTES})
        process = self.cli.start(once=not watchdog)
        signalled = threading.Event()
        self.smtp.on_accept = None
        if kill and kill[1] == "accept":
            count = [0]

            def on_accept(_token):
                count[0] += 1
                if count[0] == kill[2] and process.poll() is None:
                    process.send_signal(getattr(signal, kill[0]))
                    signalled.set()
            self.smtp.on_accept = on_accept
        elif kill:
            if signal_later(process, getattr(signal, kill[0]), kill[2]):
                signalled.set()
        limit = WATCHDOG_RUN if watchdog else RUN_LIMIT
        code, out, hung = self.cli.finish(process, limit)
        self.smtp.on_accept = None
        if step and step.full_disk and self.mounted:
            self.remount(ROOMY_DISK)
        killed = (hung and not watchdog) or (signalled.is_set() and kill[0] == "SIGKILL") or code == -signal.SIGKILL
        if watchdog:
            self.cli.set_common({"timeoutSec": self.s.common["timeoutSec"]})
            self.check_watchdog(out)
        elif hung:
            self.notes.append("a run did not end within %d s (%s)" % (
                limit, step.describe() if step else "clean run"))
        self.say("run: exit %s%s%s" % (code, " (killed)" if killed else "", " (hung)" if hung else ""))
        self.transcript.write(out)
        if killed:
            # The text of a message sent just before the kill may still be on
            # its way through the proxy to the sink: let it land first.
            time.sleep(KILL_SETTLE_SECONDS)
            self.note_kill_window(accepted_before)
        for proxy in (self.pop, self.smtp):
            for when, fault, token, what in proxy.fired:
                self.fired += 1
                self.say("fault fired: %s [%s]%s" % (fault, what, " during " + token if token else ""))
                if what in ("after dot",) and token:
                    self.facts.ack_lost.add(token)
            proxy.fired.clear()
        return code

    def check_watchdog(self, out):
        restarted = "スレッドをリスタートしました" in out
        failed = "リスタートに失敗しました" in out
        if failed or not restarted:
            self.facts.file_problems.append(
                "the watchdog %s a pass stalled for %d minutes" % (
                    "failed to restart" if failed else "did not restart", WATCHDOG_STALL // 60))
        tail = out.split("スレッドをリスタートしました", 1)[-1] if restarted else ""
        if restarted and "転送済み" not in tail and "未転送" not in tail:
            self.notes.append("no message was handled after the watchdog restart")

    def note_kill_window(self, accepted_before):
        """Messages accepted in a killed run may come again when the kill fell
        before their outcome was logged (or always, without duplicate
        prevention, which does not read the log)."""
        prevent = self.s.common["preventDuplicates"] == 1
        logged = forwarded_subjects(self.read(FORWARDING_LOG))
        for data, _, _ in self.sink.accepted()[accepted_before:]:
            for token in tokens_in(data):
                _, _, account, number = token.split("-")
                subject = b"harness mail %s of account %s" % (number.encode(), account.encode())
                if not prevent or subject not in logged:
                    self.facts.kill_window.add(token)

    def remount(self, size):
        subprocess.run(["mount", "-o", "remount,size=%s" % size, self.cli.runtime_dir],
                       stderr=subprocess.DEVNULL)

    def read(self, name):
        try:
            with open(self.file(name), "rb") as f:
                return f.read()
        except OSError:
            return b""

    # ---- the schedule ------------------------------------------------------
    def on_server(self):
        return {a.number: {t for data in self.dovecot.stored(a.user) for t in tokens_in(data)}
                for a in self.s.accounts}

    def run_steps(self):
        for index, step in enumerate(self.s.steps):
            self.say("step %d: %s" % (index, step.describe()))
            for account, mails in step.arrivals.items():
                user = self.s.accounts[account].user
                for m in mails:
                    self.dovecot.deliver(user, "%d.%s.harness" % (time.time_ns(), m.token), m.data)
            for account in step.mark_all:
                self.cli.set_account(account, {"markAllForwardedNext": 1})
                self.facts.marked.setdefault(account, set()).update(self.on_server()[account])
            if step.capacity:
                self.cli.set_common({"maxHeldMailsNext": step.capacity})
                self.capacity = step.capacity
            self.run_once(step)

    def settle(self):
        """Clean passes until neither the sink, a mailbox, the forwarding log
        nor the UIDL store changes. A fetch limit hands over a few messages
        per pass (a filtered or duplicate one changes only the log or the
        store), so the bound grows with the mail."""
        last = None
        runs = SETTLE_RUNS + sum(len(v) for v in self.on_server().values())
        for _ in range(runs):
            self.say("settling pass")
            self.run_once()
            state = ({(t, d) for t, per in collect_copies(self.sink.accepted()).items() for d in per},
                     {a: frozenset(v) for a, v in self.on_server().items()},
                     len(self.cli.forwarding_log()), self.store_digest())
            if state == last:
                return True
            last = state
        self.notes.append("passes did not settle within %d clean runs" % runs)
        return False

    def store_digest(self):
        """The store is only ever replaced whole (new file, rename) when a list
        changed, so its inode and time tell a change without reading it."""
        try:
            st = os.stat(self.file(UIDL_STORE))
            return (st.st_ino, st.st_mtime_ns, st.st_size)
        except OSError:
            return None

    # ---- files -------------------------------------------------------------
    def check_files(self):
        problems = self.facts.file_problems
        common = self.cli.show("common")
        if common is None:
            problems.append("`velnora-cli show common` fails on the settings left behind")
            return
        size = os.path.getsize(self.file(SETTINGS_FILE))
        if size != self.settings_size:
            problems.append("settings file is %d bytes, was %d" % (size, self.settings_size))
        held = int(common.get("maxHeldMails", "0"))
        if held != self.capacity:
            problems.append("maxHeldMails is %d after restarts, maxHeldMailsNext was set to %d"
                            % (held, self.capacity))
        store = os.path.getsize(self.file(UIDL_STORE)) if os.path.exists(self.file(UIDL_STORE)) else -1
        if store != STORE_SIZE(held):
            problems.append("UIDL store is %d bytes; maxHeldMails %d needs %d"
                            % (store, held, STORE_SIZE(held)))
        for a in self.s.accounts:
            shown = self.cli.show("account", str(a.number))
            if shown is None:
                problems.append("`velnora-cli show account %d` fails" % a.number)
                continue
            if shown.get("markAllForwardedNext") != "0":
                problems.append("acct%d keeps markAllForwardedNext=%s after its check"
                                % (a.number, shown.get("markAllForwardedNext")))
            for name, value in a.options.items():
                if shown.get(name) != str(value):
                    problems.append("acct%d %s is %s, was set to %s" % (a.number, name,
                                                                       shown.get(name), value))
        log = self.read(FORWARDING_LOG)
        for number, line in enumerate(log.split(b"\n")[:-1]):
            if not line.startswith(b"V1;"):
                problems.append("forwarding log line %d is not a record: %r" % (number + 1, line[:60]))
        if log and not log.endswith(b"\n"):
            problems.append("forwarding log ends inside a record")

    def check(self):
        self.facts.copies = collect_copies(self.sink.accepted())
        self.facts.subjects = collect_subjects(self.sink.accepted())
        self.facts.left = self.on_server()
        self.facts.capacity_final = self.capacity
        self.check_files()
        self.note_left_behind()
        return Checker(self.s, self.facts).run()

    def note_left_behind(self):
        """Forwarded mail that deleteAfterForward left on the server: a failed
        deletion may leave it for good, so this is reported, not failed."""
        for a in self.s.accounts:
            if not a.options["deleteAfterForward"] or not a.destinations:
                continue
            got = lambda t: [self.facts.copies.get(t, {}).get(d) for d in a.destinations]
            whole = any if a.options["apportion"] else all
            kept = [t for t in self.facts.left[a.number]
                    if t in self.s.mails and not self.s.mails[t].filtered and whole(got(t))]
            if kept:
                self.notes.append("acct%d: %d forwarded messages still on the server with "
                                  "deleteAfterForward" % (a.number, len(kept)))
