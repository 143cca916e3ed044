#!/usr/bin/python3
"""SMTP sink for bench/throughput.sh: accepts every message (HELO, no AUTH)
and appends one line per accepted message to <folder>/accepted.
Usage: throughput_sink.py FOLDER PORT; ends on SIGTERM or SIGINT."""
import os
import signal
import sys
import time

from aiosmtpd.controller import Controller

folder, port = sys.argv[1], int(sys.argv[2])
log = open(os.path.join(folder, "accepted"), "a", buffering=1)


class Count:
    async def handle_DATA(self, server, session, envelope):
        log.write("%.6f %s %d\n" % (time.time(), envelope.mail_from, len(envelope.original_content or b"")))
        return "250 OK"


controller = Controller(Count(), hostname="127.0.0.1", port=port)
controller.start()
with open(os.path.join(folder, "sink.ready"), "w") as f:
    f.write("ready\n")
signal.sigwait([signal.SIGTERM, signal.SIGINT])
controller.stop()
