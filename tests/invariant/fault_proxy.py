"""A TCP proxy on loopback that relays POP3 or SMTP between velnora-cli and a
real server and, when armed, breaks a connection at a protocol step.
Occurrences are counted over all connections of one run, so "before DATA #2"
is the second message of the run, whichever connection carries it.

Steps (Fault.step):
  greeting        after the n-th connection's greeting has been relayed
  before VERB     when the client sends the n-th VERB command (not relayed)
  reply VERB      the n-th VERB is relayed, its reply is not
  inside RETR     part of the n-th RETR answer is relayed, then the break
  inside DATA     part of the n-th message text is relayed, then the break
  after DATA      the n-th message text with its final "." is relayed, the
                  server's answer (normally 250) is not
Action: "drop" closes both sides at once; "stall" goes quiet for
stall_seconds first (longer than the client's time-out), then closes.

Runs its own asyncio loop on a thread so the driver can stay synchronous.
Every fault that fired is appended to `fired` with the harness id of the
message in flight (for the SMTP steps), which the checker needs: a message
whose 250 was lost may arrive twice for good reasons.
"""

import asyncio
import threading
import time
from dataclasses import dataclass

from mailgen import tokens_in


def harness_id(data):
    """The token of the harness mail in a message text, also when the
    forwarding re-encoded the body (Base64 after HTML to text)."""
    found = tokens_in(data)
    return found[0] if found else None


@dataclass
class Fault:
    service: str          # "pop" or "smtp"
    step: str             # see module text
    verb: str = ""
    nth: int = 1          # occurrence of the verb (or connection) in the run
    action: str = "drop"
    stall_seconds: float = 0.0

    def describe(self):
        where = self.step + (" " + self.verb if self.verb else "") + " #%d" % self.nth
        extra = " %.1fs" % self.stall_seconds if self.action == "stall" else ""
        return "%s %s: %s%s" % (self.service, where, self.action, extra)


class _Link:
    """One relayed connection and its protocol position."""

    def __init__(self, proxy, number, reader, writer):
        self.proxy = proxy
        self.number = number
        self.client_reader, self.client_writer = reader, writer
        self.fault = None           # the fault this connection has claimed
        self.pending_reply = None   # fault waiting for the next server reply
        self.inside_retr = False
        self.data_mode = False
        self.awaiting_354 = False
        self.data = b""
        self.expect_dot_reply = False
        self.line = b""
        self.closed = False

    async def run(self):
        try:
            self.server_reader, self.server_writer = await asyncio.open_connection(
                "127.0.0.1", self.proxy.target_port)
        except OSError:
            self.client_writer.close()
            return
        pumps = [asyncio.ensure_future(self.client_to_server()),
                 asyncio.ensure_future(self.server_to_client())]
        # When one direction ends the connection is over: close both sides.
        await asyncio.wait(pumps, return_when=asyncio.FIRST_COMPLETED)
        self.close()
        await asyncio.gather(*pumps, return_exceptions=True)

    def close(self):
        if self.closed:
            return
        self.closed = True
        for w in (self.client_writer, self.server_writer):
            try:
                w.close()
            except Exception:
                pass

    async def fire(self, what):
        fault = self.fault
        self.fault = None
        self.proxy.fired.append((time.time(), fault.describe(), harness_id(self.data), what))
        if fault.action == "stall":
            await asyncio.sleep(fault.stall_seconds)
        self.close()

    def matches(self, step, verb=""):
        """Claims the armed fault for this step at this occurrence, if any."""
        if self.fault is not None:
            return self.fault.step == step and self.fault.verb == verb
        count = self.number + 1 if step == "greeting" else self.proxy.counts.get(verb, 0)
        for f in self.proxy.faults:
            if f.step == step and f.verb == verb and f.nth == count and f not in self.proxy.claimed:
                self.proxy.claimed.append(f)
                self.fault = f
                return True
        return False

    async def client_to_server(self):
        while not self.closed:
            chunk = await self.client_reader.read(65536)
            if not chunk:
                break
            out = b""
            for piece in chunk.splitlines(keepends=True):
                if self.data_mode:
                    self.data += piece
                    if self.matches("inside", "DATA") and len(self.data) > 200:
                        self.server_writer.write(out)
                        await self.fire("inside DATA")
                        return
                    out += piece
                    if self.data.endswith(b"\r\n.\r\n") or self.data == b".\r\n":
                        self.data_mode = False
                        self.expect_dot_reply = True
                        if self.matches("after", "DATA"):
                            self.pending_reply = "after dot"
                    continue
                self.line += piece
                if not self.line.endswith(b"\n"):
                    continue
                line, self.line = self.line, b""
                verb = line.split(b" ", 1)[0].strip().upper().decode("latin-1")
                self.proxy.counts[verb] = self.proxy.counts.get(verb, 0) + 1
                if verb == "DATA":
                    self.data = b""
                    self.awaiting_354 = True
                    # "after dot" and "inside DATA" count message texts as DATA.
                if self.matches("before", verb):
                    self.server_writer.write(out)
                    await self.fire("before " + verb)
                    return
                if self.matches("reply", verb):
                    self.pending_reply = "reply " + verb
                if verb == "RETR" and self.matches("inside", "RETR"):
                    self.inside_retr = True
                out += line
            self.server_writer.write(out)
            await self.server_writer.drain()

    async def server_to_client(self):
        greeted = False
        while not self.closed:
            chunk = await self.server_reader.read(65536)
            if not chunk:
                break
            if self.pending_reply:
                what, self.pending_reply = self.pending_reply, None
                await self.fire(what)
                return
            if self.inside_retr:
                self.client_writer.write(chunk[:max(1, len(chunk) // 2)])
                await self.client_writer.drain()
                await self.fire("inside RETR")
                return
            if self.awaiting_354:
                self.awaiting_354 = False
                self.data_mode = chunk.startswith(b"354")
            self.client_writer.write(chunk)
            await self.client_writer.drain()
            if self.expect_dot_reply:
                self.expect_dot_reply = False
                if self.proxy.on_accept and chunk.startswith(b"250"):
                    self.proxy.on_accept(harness_id(self.data))
            if not greeted:
                greeted = True
                if self.matches("greeting"):
                    await self.fire("greeting")
                    return
        self.close()


class FaultProxy:
    def __init__(self, service, target_port):
        self.service = service
        self.target_port = target_port
        self.faults = []
        self.claimed = []
        self.counts = {}
        self.fired = []
        self.connections = 0
        self.on_accept = None  # called (on the proxy thread) after a 250 to a message text
        self.loop = asyncio.new_event_loop()
        self.ready = threading.Event()
        self.thread = threading.Thread(target=self._main, daemon=True)
        self.thread.start()
        self.ready.wait(10)

    def _main(self):
        asyncio.set_event_loop(self.loop)
        self.server = self.loop.run_until_complete(
            asyncio.start_server(self._accept, "127.0.0.1", 0))
        self.port = self.server.sockets[0].getsockname()[1]
        self.ready.set()
        self.loop.run_forever()

    async def _accept(self, reader, writer):
        number = self.connections
        self.connections += 1
        await _Link(self, number, reader, writer).run()

    def arm(self, faults):
        """Faults for the next run; connection numbers start again at 0."""
        def set_faults():
            self.faults = [f for f in faults if f.service == self.service]
            self.claimed = []
            self.counts = {}
            self.connections = 0
        self.loop.call_soon_threadsafe(set_faults)
        time.sleep(0.01)

    def stop(self):
        def shutdown():
            self.server.close()
            for task in asyncio.all_tasks(self.loop):
                task.cancel()
            self.loop.call_soon(self.loop.stop)
        self.loop.call_soon_threadsafe(shutdown)
        self.thread.join(5)
