#!/usr/bin/python3
"""Latency-adding TCP proxy for bench/parallel_passes.sh, loopback only.

Usage: latency_proxy.py RTT_MS LISTEN_PORT:TARGET_PORT [...]; ends on
SIGTERM or SIGINT. Each connection to 127.0.0.1:LISTEN_PORT reaches
127.0.0.1:TARGET_PORT one round trip later (the TCP handshake of a distant
server), and every chunk takes half a round trip in either direction, in
order, without holding back the chunks behind it (the link is slow, not
narrow)."""
import asyncio
import signal
import sys
import time

rtt = float(sys.argv[1]) / 1000.0
routes = [tuple(int(p) for p in arg.split(":")) for arg in sys.argv[2:]]


async def pump(reader, writer):
    # Chunks are stamped when they arrive and written half a round trip
    # later; a queue keeps their order.
    queue = asyncio.Queue()

    async def read():
        try:
            while True:
                data = await reader.read(65536)
                await queue.put((time.monotonic() + rtt / 2, data))
                if not data:
                    return
        except (ConnectionError, OSError):
            await queue.put((time.monotonic(), b""))

    async def write():
        try:
            while True:
                due, data = await queue.get()
                delay = due - time.monotonic()
                if delay > 0:
                    await asyncio.sleep(delay)
                if not data:
                    if writer.can_write_eof():
                        writer.write_eof()
                    return
                writer.write(data)
                await writer.drain()
        except (ConnectionError, OSError):
            return

    await asyncio.gather(read(), write())


def handler(target):
    async def handle(client_reader, client_writer):
        await asyncio.sleep(rtt)
        try:
            server_reader, server_writer = await asyncio.open_connection("127.0.0.1", target)
        except OSError:
            client_writer.close()
            return
        try:
            await asyncio.gather(pump(client_reader, server_writer), pump(server_reader, client_writer))
        finally:
            for w in (client_writer, server_writer):
                try:
                    w.close()
                except OSError:
                    pass
    return handle


async def main():
    servers = []
    for listen, target in routes:
        servers.append(await asyncio.start_server(handler(target), "127.0.0.1", listen, backlog=512))
    stop = asyncio.Event()
    loop = asyncio.get_running_loop()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, stop.set)
    await stop.wait()
    for server in servers:
        server.close()


asyncio.run(main())
