"""The invariants, checked per message once the passes have settled.

Inputs are facts the driver recorded: what each account's mailbox received,
what the sink accepted (with recipients), what is left in each mailbox,
which messages a lost 250 or a kill may legitimately have doubled, and
which messages a "mark all as forwarded" legitimately skipped."""

import re
from dataclasses import dataclass, field

from mailgen import tokens_in


@dataclass
class Facts:
    copies: dict = field(default_factory=dict)     # token -> {destination: count}
    left: dict = field(default_factory=dict)       # account -> set of tokens on the server
    ack_lost: set = field(default_factory=set)     # a 250 the client never saw
    kill_window: set = field(default_factory=set)  # accepted, then killed before it was logged
    marked: dict = field(default_factory=dict)     # account -> tokens marked as forwarded
    subjects: dict = field(default_factory=dict)   # see collect_subjects
    capacity_final: int = 10000
    file_problems: list = field(default_factory=list)


SUBJECT = re.compile(rb"Subject: harness mail (\d+) of account (\d+)\r?\n")


def collect_subjects(accepted):
    """(account, number) -> destinations of copies that kept their subject."""
    found = {}
    for data, rcpts, _ in accepted:
        for number, account in SUBJECT.findall(data):
            found.setdefault((int(account), int(number)), set()).update(rcpts)
    return found


def collect_copies(accepted):
    copies = {}
    for data, rcpts, _ in accepted:
        for token in tokens_in(data):
            per = copies.setdefault(token, {})
            for r in rcpts:
                per[r] = per.get(r, 0) + 1
    return copies


class Checker:
    def __init__(self, scenario, facts):
        self.s = scenario
        self.f = facts
        self.violations = []

    def report(self, invariant, mail, text):
        self.violations.append("invariant %s: %s (acct%d, %s, Message-ID <%s>): %s" % (
            invariant, mail.token, mail.account, mail.kind, mail.message_id, text))

    def run(self):
        prevent = self.s.common["preventDuplicates"] == 1
        by_account = {a.number: a for a in self.s.accounts}
        # Duplicate prevention stops a message whose Message-ID this account
        # already forwarded: a group of equal IDs needs only one member through.
        groups = {}
        for m in self.s.mails.values():
            groups.setdefault((m.account, m.message_id), []).append(m)
        for m in self.s.mails.values():
            self.check_message(m, by_account[m.account], prevent,
                               groups[(m.account, m.message_id)])
        for problem in self.f.file_problems:
            self.violations.append("invariant 5: " + problem)
        return self.violations

    def reached(self, mail, account):
        """Destinations still missing a copy of `mail`."""
        got = self.f.copies.get(mail.token, {})
        if not account.destinations:
            return []
        if account.options["apportion"]:
            return [] if any(got.get(d) for d in account.destinations) else ["any destination"]
        return [d for d in account.destinations if not got.get(d)]

    def check_message(self, m, account, prevent, group):
        got = self.f.copies.get(m.token, {})
        on_server = m.token in self.f.left.get(m.account, set())
        marked = m.token in self.f.marked.get(m.account, set())
        delete_filtered = account.options["deleteIncludingFiltered"] == 1
        members = [g for g in group if not g.filtered]
        group_ok = prevent and len(members) > 1 and \
            any(not self.reached(g, account) for g in members)

        # (4) filtered mail is never sent.
        if m.filtered:
            if got:
                self.report(4, m, "filtered mail was sent to %s" % sorted(got))
            if not on_server and not delete_filtered:
                self.report(1, m, "filtered mail deleted from the server without "
                                  "deleteIncludingFiltered")
            return

        missing = self.reached(m, account)
        if group_ok:
            missing = []   # another message with this Message-ID went through
        number = int(m.token.rsplit("-", 1)[1])
        textless = [d for d in missing if d in self.f.subjects.get((m.account, number), ())]
        if textless:
            self.report(2, m, "arrived at %s without its text (subject only)" % ", ".join(textless))
            missing = [d for d in missing if d not in textless]
        # (1) never deleted before the sink accepted it.
        if not on_server and missing and not marked:
            self.report(1, m, "deleted from the server but never accepted for %s"
                        % ", ".join(missing))
        # (2) every message the filters let through reached each destination.
        elif missing and not marked and len(self.f.left.get(m.account, ())) <= self.f.capacity_final:
            self.report(2, m, "never reached %s (still on the server)" % ", ".join(missing))
        if not account.destinations and not on_server:
            self.report(1, m, "deleted although the account has no destination")

        # (3) a second copy only after a lost 250 or a kill in the window, or
        # by design: a no-UIDL account without duplicate prevention starts
        # each run at the first message.
        doubled = {d: n for d, n in got.items() if n > 1}
        if doubled:
            by_design = account.options["noUidl"] == 1 and not prevent
            if m.token in self.f.ack_lost or by_design:
                return
            if m.token in self.f.kill_window:
                return
            self.report(3, m, "forwarded more than once: %s" % ", ".join(
                "%s x%d" % kv for kv in sorted(doubled.items())))
