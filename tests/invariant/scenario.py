"""Everything one seed decides: accounts and their options, the mail, and the
steps (mail arriving, settings changes, one faulty run each)."""

import random
from dataclasses import dataclass, field

from fault_proxy import Fault
from mailgen import CONTENT_KINDS, FILTERED_KINDS, FORWARDED_KINDS, make_mail

POP_STEPS = [("greeting", ""), ("before", "USER"), ("before", "PASS"), ("before", "STAT"),
             ("reply", "STAT"), ("before", "UIDL"), ("reply", "UIDL"), ("before", "LIST"),
             ("reply", "LIST"), ("before", "RETR"), ("reply", "RETR"), ("inside", "RETR"),
             ("before", "DELE"), ("reply", "DELE"), ("before", "QUIT"), ("reply", "QUIT")]
SMTP_STEPS = [("greeting", ""), ("before", "HELO"), ("reply", "HELO"), ("before", "RSET"),
              ("before", "MAIL"), ("reply", "MAIL"), ("before", "RCPT"), ("reply", "RCPT"),
              ("before", "DATA"), ("inside", "DATA"), ("after", "DATA"), ("before", "QUIT"),
              ("reply", "QUIT")]
SINK_STEPS = ["HELO", "RSET", "MAIL", "RCPT", "DATA", "MESSAGE"]
SINK_REPLIES = ["421 4.3.0 closing", "451 4.3.0 try later", "452 4.3.1 no room",
                "550 5.7.1 refused", "554 5.0.0 failed"]
TIMEOUT_SEC = 3
WATCHDOG_MINUTES = 10        # the smallest stuckWorkerMinutes
WATCHDOG_STALL = 12.5 * 60   # past the first poll tick after the limit


@dataclass
class Account:
    number: int
    name: str
    user: str
    password: str
    destinations: list
    forward_to: str
    options: dict


@dataclass
class Step:
    arrivals: dict = field(default_factory=dict)   # account -> [Mail]
    mark_all: list = field(default_factory=list)   # accounts given markAllForwardedNext=1
    capacity: int = 0                              # new maxHeldMailsNext, 0 = unchanged
    faults: list = field(default_factory=list)     # proxy Faults
    refusals: list = field(default_factory=list)   # (sink step, nth, reply)
    kill: tuple = None       # (signal name, "time", seconds) or (signal name, "accept", n)
    full_disk: bool = False
    watchdog: bool = False   # `run` with a POP3 server that stops answering mid-RETR

    def describe(self):
        parts = []
        for a, mails in sorted(self.arrivals.items()):
            parts.append("acct%d +%d mail" % (a, len(mails)))
        parts += ["acct%d markAllForwardedNext=1" % a for a in self.mark_all]
        if self.capacity:
            parts.append("maxHeldMailsNext=%d" % self.capacity)
        parts += [f.describe() for f in self.faults]
        parts += ["sink %s #%d: %s" % r for r in self.refusals]
        if self.kill:
            parts.append("%s at %s %s" % self.kill)
        if self.full_disk:
            parts.append("full temporary folder")
        if self.watchdog:
            parts.append("POP3 server silent inside RETR past the watchdog limit")
        return ", ".join(parts) or "clean run"


@dataclass
class Scenario:
    seed: str
    accounts: list
    common: dict
    steps: list
    mails: dict       # token -> Mail

    def options_text(self):
        lines = ["common: " + " ".join("%s=%s" % kv for kv in sorted(self.common.items()))]
        for a in self.accounts:
            lines.append("acct%d %r forwardTo=%r %s" % (
                a.number, a.name, a.forward_to,
                " ".join("%s=%s" % kv for kv in sorted(a.options.items()))))
        return lines


def _account(rng, number, seed):
    count = rng.choice((1, 1, 2, 2, 3))
    destinations = ["d%d%s@dest.test" % (number, "abc"[i]) for i in range(count)]
    forward_to = " ".join(destinations)
    if rng.random() < 0.08:
        forward_to, destinations = "   ", []
    no_uidl = rng.random() < 0.2
    delete = rng.random() < 0.5
    options = {
        # The order of a no-UIDL mailbox read backwards is left open; not drawn.
        "reversePopOrder": int(not no_uidl and rng.random() < 0.4),
        "noUidl": int(no_uidl),
        "deleteAfterForward": int(delete),
        "deleteIncludingFiltered": int(delete and rng.random() < 0.4),
        "apportion": int(len(destinations) > 1 and rng.random() < 0.25),
    }
    options.update(_content_options(random.Random("velnora-content-%s-%d" % (seed, number))))
    name = "acct%d" % number
    if rng.random() < 0.1:
        name = "acct;%d" % number
    return Account(number, name, "u%d" % number, "pw%d" % number, destinations, forward_to,
                   options)


OVERSIZE_KB = 30  # "large" mail is over it, every other kind below


def _content_options(crng):
    """What the account does with content: part processing, HTML to text,
    dropping oversize mail, only mail with attachments, feature phones."""
    part_processing = int(crng.random() < 0.5)
    return {
        "partProcessing": part_processing,
        "htmlToText": int(crng.random() < 0.6),
        "oversizeKb": OVERSIZE_KB,
        "oversizeDrop": int(part_processing and crng.random() < 0.3),
        "onlyWithAttachments": int(crng.random() < 0.08),
        "phoneMode": int(crng.random() < 0.12),
    }


def _stopped_by_content(account, kind):
    o = account.options
    if o.get("onlyWithAttachments") and kind != "attached":
        return True
    return bool(o.get("partProcessing") and o.get("oversizeDrop") and kind == "large")


def _mails(rng, seed, account, first, count, dup_pool, without):
    mails = []
    forwarded = [k for k in FORWARDED_KINDS if k not in without]
    content = [k for k in CONTENT_KINDS if k not in without]
    for n in range(first, first + count):
        roll = rng.random()
        kind = rng.choice(FILTERED_KINDS) if roll < 0.15 else rng.choice(forwarded)
        crng = random.Random("velnora-content-%s-%d-%d" % (seed, account.number, n))
        if kind == "plain" and content and crng.random() < 0.5:
            kind = crng.choice(content)
        filtered = kind in FILTERED_KINDS or _stopped_by_content(account, kind)
        # Equal Message-IDs only among forwardable mail: a filtered message in
        # the history would stop the others of its ID, which is by design.
        message_id = "%s.%d.%d@harness.test" % (seed, account.number, n)
        if filtered:
            pass
        elif dup_pool and rng.random() < 0.12:
            message_id = rng.choice(dup_pool)
        else:
            dup_pool.append(message_id)
        mails.append(make_mail(rng, seed, account.number, n, kind, message_id, filtered, crng))
    return mails


def _faults(rng):
    faults = []
    for _ in range(rng.choice((0, 1, 1, 2))):
        service = rng.choice(("pop", "smtp", "smtp"))
        step, verb = rng.choice(POP_STEPS if service == "pop" else SMTP_STEPS)
        stall = rng.random() < 0.25
        # Counted over the run: the start-up check opens one connection of
        # each kind per account before any mail moves.
        nth = rng.randint(1, 8)
        faults.append(Fault(service, step, verb, nth,
                            "stall" if stall else "drop", TIMEOUT_SEC + 1.5 if stall else 0))
    return faults


def draw(seed, root_available=True, without=(), watchdog=False):
    """`without`: kinds of forwardable mail left out (see mailgen);
    `watchdog`: may draw a step that waits for the watchdog (13 minutes)."""
    rng = random.Random("velnora-invariant-%s" % seed)
    accounts = [_account(rng, i, seed) for i in range(rng.randint(2, 4))]
    common = {
        "preventDuplicates": int(rng.random() < 0.7),
        "reloadSettingsEachCheck": int(rng.random() < 0.3),
        "limitFetch": int(rng.random() < 0.3),
        "fetchLimit": rng.randint(1, 3),
        "customTimeout": 1,
        "timeoutSec": TIMEOUT_SEC,
        "tempInCurrentFolder": 0,
    }
    # From a stream of its own, so that the seeds drawn before keep their scenarios.
    common["parallelAccounts"] = random.Random("velnora-parallel-%s" % seed).choice((1, 4, 32))
    mails = {}
    pools = {a.number: [] for a in accounts}
    numbers = {a.number: 0 for a in accounts}
    steps = []
    for index in range(rng.randint(3, 6)):
        step = Step()
        for a in accounts:
            count = rng.randint(0, 6) if index == 0 else rng.choice((0, 0, 1, 2, 3))
            if count:
                batch = _mails(rng, seed, a, numbers[a.number], count, pools[a.number],
                               without)
                numbers[a.number] += count
                step.arrivals[a.number] = batch
                mails.update((m.token, m) for m in batch)
        if index > 0 and rng.random() < 0.12:
            step.mark_all = [rng.choice(accounts).number]
        if rng.random() < 0.1:
            step.capacity = rng.choice((1000, 2000, 10000))
        step.faults = _faults(rng)
        for _ in range(rng.choice((0, 0, 1, 2))):
            step.refusals.append((rng.choice(SINK_STEPS), rng.randint(1, 4),
                                  rng.choice(SINK_REPLIES)))
        roll = rng.random()
        if roll < 0.3:
            sig = rng.choice(("SIGKILL", "SIGKILL", "SIGTERM"))
            if rng.random() < 0.5:
                step.kill = (sig, "accept", rng.randint(1, 4))
            else:
                step.kill = (sig, "time", round(rng.uniform(0.05, 2.0), 2))
        step.full_disk = root_available and rng.random() < 0.08
        if watchdog and index > 0 and not any(s.watchdog for s in steps) and rng.random() < 0.3:
            step.watchdog, step.kill, step.full_disk = True, None, False
            step.faults = [Fault("pop", "inside", "RETR", 1, "stall", WATCHDOG_STALL)]
        if step.mark_all:
            # The mark is taken at the first check that reaches the server; a
            # clean run makes that check this step's, with nothing arriving.
            step.arrivals, step.faults, step.refusals, step.kill = {}, [], [], None
            step.full_disk = False
        steps.append(step)
    # Mail that arrived in a mark-all step's place is not in `mails` any more.
    arrived = {m.token for s in steps for batch in s.arrivals.values() for m in batch}
    mails = {t: m for t, m in mails.items() if t in arrived}
    return Scenario(str(seed), accounts, common, steps, mails)
