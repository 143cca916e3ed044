"""Real servers for the invariant harness: Dovecot (POP3 over maildir) and the
aiosmtpd sink of tests/support, both on loopback ports, both stopped by stop()."""

import grp
import json
import os
import poplib
import pwd
import shutil
import signal
import socket
import subprocess
import time

SOURCE_DIR = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
SINK_SCRIPT = os.path.join(SOURCE_DIR, "tests", "support", "smtp_sink.py")
PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else "python3"


def _end_with_parent():
    """The server ends when the harness does, even when the harness is killed."""
    import ctypes
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def wait_for_port(port, seconds=10.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=1):
                return True
        except OSError:
            time.sleep(0.05)
    return False


class Dovecot:
    """POP3 only, plain text log-in, one maildir per user."""

    def __init__(self, root, users):
        self.root = root
        self.users = dict(users)  # name -> password
        self.as_root = os.geteuid() == 0
        self.process = None
        self.port = free_port()
        if self.as_root:
            entry = pwd.getpwnam("dovecot")
            self.uid, self.gid = entry.pw_uid, entry.pw_gid
        else:
            self.uid, self.gid = os.geteuid(), os.getegid()

    def maildir(self, user):
        return os.path.join(self.root, "home", user, "Maildir")

    def start(self):
        os.makedirs(self.root, exist_ok=True)
        os.chmod(self.root, 0o755)
        os.makedirs(os.path.join(self.root, "home"), exist_ok=True)
        os.chmod(os.path.join(self.root, "home"), 0o755)
        lines = []
        for user, password in self.users.items():
            home = os.path.join(self.root, "home", user)
            for sub in ("", "/Maildir", "/Maildir/new", "/Maildir/cur", "/Maildir/tmp"):
                os.makedirs(home + sub, exist_ok=True)
                os.chmod(home + sub, 0o700)
                if self.as_root:
                    os.chown(home + sub, self.uid, self.gid)
            lines.append("%s:{PLAIN}%s:%d:%d::%s" % (user, password, self.uid, self.gid, home))
        with open(os.path.join(self.root, "passwd"), "w") as f:
            f.write("\n".join(lines) + "\n")
        conf = [
            "base_dir = %s/run" % self.root,
            "state_dir = %s/state" % self.root,
            "log_path = %s/dovecot.log" % self.root,
            "info_log_path = %s/dovecot.log" % self.root,
            "protocols = pop3",
            "listen = 127.0.0.1",
            "ssl = no",
            "disable_plaintext_auth = no",
            "auth_mechanisms = plain login",
            "auth_failure_delay = 0",
            "login_trusted_networks = 127.0.0.0/8",
            "passdb {\n  driver = passwd-file\n  args = %s/passwd\n}" % self.root,
            "userdb {\n  driver = passwd-file\n  args = %s/passwd\n}" % self.root,
            "mail_location = maildir:~/Maildir",
            "pop3_uidl_format = %08Xu%08Xv",
            "service anvil {\n  chroot =\n}",
            "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    port = %d\n  }\n"
            "  inet_listener pop3s {\n    port = 0\n  }\n}" % self.port,
        ]
        if self.as_root:
            conf += ["mail_uid = dovecot", "mail_gid = dovecot", "first_valid_uid = 0",
                     "first_valid_gid = 0"]
        else:
            me = pwd.getpwuid(os.geteuid()).pw_name
            group = grp.getgrgid(os.getegid()).gr_name
            conf += ["default_login_user = " + me, "default_internal_user = " + me,
                     "default_internal_group = " + group, "first_valid_uid = %d" % os.geteuid()]
        self.config = os.path.join(self.root, "dovecot.conf")
        with open(self.config, "w") as f:
            f.write("\n".join(conf) + "\n")
        log = open(os.path.join(self.root, "start.log"), "ab")
        self.process = subprocess.Popen(["dovecot", "-F", "-c", self.config], stdout=log,
                                        stderr=log, stdin=subprocess.DEVNULL,
                                        preexec_fn=_end_with_parent)
        if not wait_for_port(self.port):
            raise RuntimeError("dovecot did not start: " +
                               open(os.path.join(self.root, "start.log")).read())
        # A log-in that fails here would pass for mail the program never fetched.
        for user, password in self.users.items():
            box = poplib.POP3("127.0.0.1", self.port, timeout=10)
            try:
                box.user(user)
                box.pass_(password)
            except poplib.error_proto as error:
                raise RuntimeError("dovecot refuses the log-in of %s: %s" % (user, error))
            finally:
                box.quit()

    def deliver(self, user, name, data):
        """Drops one message into new/ the way a delivery agent does."""
        tmp = os.path.join(self.maildir(user), "tmp", name)
        with open(tmp, "wb") as f:
            f.write(data)
        if self.as_root:
            os.chown(tmp, self.uid, self.gid)
        os.rename(tmp, os.path.join(self.maildir(user), "new", name))

    def stored(self, user):
        """Bytes of every message still in the mailbox."""
        found = []
        for sub in ("new", "cur"):
            folder = os.path.join(self.maildir(user), sub)
            for name in sorted(os.listdir(folder)):
                with open(os.path.join(folder, name), "rb") as f:
                    found.append(f.read())
        return found

    def stop(self):
        if not self.process:
            return
        subprocess.run(["doveadm", "-c", self.config, "stop"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.process = None


class Sink:
    """tests/support/smtp_sink.py: stores every accepted message; answers from
    its control.json (scripted refusals) instead when told to."""

    def __init__(self, folder):
        self.folder = folder
        self.process = None
        self.port = None

    def start(self):
        os.makedirs(self.folder, exist_ok=True)
        self.process = subprocess.Popen(
            [PYTHON, SINK_SCRIPT, "--folder", self.folder, "--exit-on-stdin-eof"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.process.stdout.readline().decode()
        if not line.startswith("READY"):
            raise RuntimeError("smtp sink did not start (python3-aiosmtpd installed?)")
        self.port = int(line.split()[1])

    def script(self, refusals):
        """refusals: list of (step, nth, reply); nth counts that step's events
        from now on, so a new script starts its own count."""
        path = os.path.join(self.folder, "control.json")
        script = {"id": "%d" % time.monotonic_ns(),
                  "once": [{"step": s, "nth": n, "reply": r} for s, n, r in refusals]}
        with open(path + ".tmp", "w") as f:
            json.dump(script, f)
        os.rename(path + ".tmp", path)

    def accepted(self):
        """(data bytes, recipients, time) of every accepted message, in order."""
        found = []
        for name in sorted(os.listdir(self.folder)):
            if not (name.startswith("mail-") and name.endswith(".eml")):
                continue
            base = os.path.join(self.folder, name[:-4])
            with open(base + ".eml", "rb") as f:
                data = f.read()
            try:
                with open(base + ".env") as f:
                    rcpts = [l[9:-1] for l in f.read().splitlines() if l.startswith("RCPT TO:<")]
            except OSError:
                rcpts = []
            found.append((data, rcpts, os.stat(base + ".eml").st_mtime))
        return found

    def stop(self):
        if not self.process:
            return
        try:
            self.process.stdin.close()
            self.process.wait(timeout=5)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()
        self.process = None


def remove_tree(path):
    shutil.rmtree(path, ignore_errors=True)
