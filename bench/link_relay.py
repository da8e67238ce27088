#!/usr/bin/env python3
"""An emulated long-distance link on loopback.

Relays TCP connections from a local port to an upstream server and delivers
every piece of data one way later (25 ms by default) in each direction, after
pacing it through a link of a given rate (100 Mbit/s by default) that all
connections share, one link per direction. A new connection's first bytes
towards the server also wait one round trip, the time a real TCP handshake
would take before the client could send them.

It writes one line per event to the event log, flushed at once, so a caller
can count what happened between two points of its own run:
    accept  T CONN                a TCP connection from a client
    hello   T CONN                a TLS ClientHello from the client
    request T CONN PATH           a plain HTTP request head from the client
    close   T CONN UP DOWN        the connection ended (bytes each way)
T is seconds on the monotonic clock.

It stops by itself after --max-seconds, or after --idle-seconds with no
connection open, or on SIGTERM/SIGINT, and never accepts more than
--max-connections connections.
Usage: link_relay.py --upstream-port N [--port-file FILE] [--log FILE] ...
"""

import argparse
import asyncio
import os
import signal
import socket
import sys
import time

PIECE = 16 * 1024
QUEUE_PIECES = 512  # at most 8 MiB waiting in one direction of one connection

TLS_HANDSHAKE = 22
TLS_CLIENT_HELLO = 1


class Link:
    """One direction of the emulated line: a serialiser shared by all
    connections, then a fixed propagation delay."""

    def __init__(self, delay, bytes_per_second):
        self.delay = delay
        self.bytes_per_second = bytes_per_second
        self.free_at = 0.0

    def delivery_time(self, arrival, size):
        start = max(arrival, self.free_at)
        if self.bytes_per_second > 0:
            self.free_at = start + size / self.bytes_per_second
        else:
            self.free_at = start
        return self.free_at + self.delay


class ClientHelloCounter:
    """Counts TLS ClientHello messages in a client's byte stream by walking
    the TLS record headers (type, version, length), whatever the chunking."""

    def __init__(self):
        self.pending = b""
        self.skip = 0
        self.active = None  # unknown until the first byte

    def feed(self, data):
        if self.active is None and data:
            self.active = data[0] == TLS_HANDSHAKE
        if not self.active:
            return 0
        hellos = 0
        if self.skip:
            taken = min(self.skip, len(data))
            self.skip -= taken
            data = data[taken:]
        buffer = self.pending + data
        position = 0
        while len(buffer) - position >= 6:
            record_type = buffer[position]
            length = int.from_bytes(buffer[position + 3:position + 5], "big")
            if record_type == TLS_HANDSHAKE and buffer[position + 5] == TLS_CLIENT_HELLO:
                hellos += 1
            end = position + 5 + length
            if end > len(buffer):
                self.skip = end - len(buffer)
                position = len(buffer)
                break
            position = end
        self.pending = buffer[position:]
        return hellos


class RequestHeads:
    """Finds the request lines of plain HTTP requests in a client's stream."""

    def __init__(self):
        self.buffer = b""
        self.active = None

    def feed(self, data):
        if self.active is None and data:
            self.active = data[0] != TLS_HANDSHAKE
        if not self.active:
            return []
        self.buffer += data
        lines = []
        while True:
            end = self.buffer.find(b"\r\n\r\n")
            if end < 0:
                break
            head = self.buffer[:end]
            self.buffer = self.buffer[end + 4:]
            first = head.split(b"\r\n", 1)[0].decode("latin-1")
            parts = first.split(" ")
            lines.append(parts[1] if len(parts) > 1 else first)
        if len(self.buffer) > 65536:  # not HTTP after all
            self.active = False
            self.buffer = b""
        return lines


class Relay:
    def __init__(self, options, log):
        self.options = options
        self.log = log
        self.to_server = Link(options.delay_ms / 1000.0, options.rate_mbit * 1e6 / 8)
        self.to_client = Link(options.delay_ms / 1000.0, options.rate_mbit * 1e6 / 8)
        self.connections = 0
        self.open = 0
        self.last_activity = time.monotonic()
        self.stopped = asyncio.Event()

    def event(self, *fields):
        self.log.write(" ".join(str(f) for f in fields) + "\n")
        self.log.flush()

    async def handle(self, client_reader, client_writer):
        if self.connections >= self.options.max_connections:
            client_writer.close()
            return
        self.connections += 1
        self.open += 1
        number = self.connections
        self.event("accept", f"{time.monotonic():.6f}", number)
        try:
            server_reader, server_writer = await asyncio.wait_for(
                asyncio.open_connection("127.0.0.1", self.options.upstream_port), 5)
        except (OSError, asyncio.TimeoutError):
            client_writer.close()
            self.open -= 1
            return
        handshake = 2 * self.to_server.delay
        hellos = ClientHelloCounter()
        heads = RequestHeads()

        def watch_client(data):
            now = f"{time.monotonic():.6f}"
            for _ in range(hellos.feed(data)):
                self.event("hello", now, number)
            for path in heads.feed(data):
                self.event("request", now, number, path)

        up = asyncio.create_task(self.pipe(client_reader, server_writer, self.to_server, handshake, watch_client))
        down = asyncio.create_task(self.pipe(server_reader, client_writer, self.to_client, 0.0, None))
        # Both directions run to their end; a reset on either side ends both.
        done, pending = await asyncio.wait({up, down}, return_when=asyncio.FIRST_EXCEPTION)
        if any(task.exception() is not None for task in done):
            for task in pending:
                task.cancel()
        results = await asyncio.gather(up, down, return_exceptions=True)
        for writer in (client_writer, server_writer):
            writer.close()
        sent = [r if isinstance(r, int) else -1 for r in results]
        self.event("close", f"{time.monotonic():.6f}", number, sent[0], sent[1])
        self.open -= 1
        self.last_activity = time.monotonic()

    async def pipe(self, reader, writer, link, first_extra, watch):
        queue = asyncio.Queue(QUEUE_PIECES)
        extra = first_extra

        async def deliver():
            total = 0
            while True:
                item = await queue.get()
                if item is None:
                    if writer.can_write_eof():
                        writer.write_eof()
                    return total
                when, piece = item
                wait = when - time.monotonic()
                if wait > 0:
                    await asyncio.sleep(wait)
                writer.write(piece)
                await writer.drain()
                total += len(piece)

        delivery = asyncio.create_task(deliver())
        last_when = 0.0
        try:
            while True:
                data = await reader.read(64 * 1024)
                self.last_activity = time.monotonic()
                if not data:
                    break
                if watch:
                    watch(data)
                for offset in range(0, len(data), PIECE):
                    piece = data[offset:offset + PIECE]
                    when = max(link.delivery_time(time.monotonic(), len(piece)) + extra, last_when)
                    extra = 0.0
                    last_when = when
                    await queue.put((when, piece))
            await queue.put(None)
            return await delivery
        finally:
            if not delivery.done():
                delivery.cancel()

    async def watchdog(self):
        started = time.monotonic()
        while not self.stopped.is_set():
            now = time.monotonic()
            if now - started > self.options.max_seconds:
                break
            if self.open == 0 and now - self.last_activity > self.options.idle_seconds:
                break
            await asyncio.sleep(0.2)
        self.stopped.set()


async def serve(options):
    log = open(options.log, "a") if options.log else sys.stdout
    relay = Relay(options, log)
    servers = [await asyncio.start_server(relay.handle, "127.0.0.1", options.port, reuse_address=True)]
    port = servers[0].sockets[0].getsockname()[1]
    # "localhost" may resolve to ::1 first: answer there too when the host has IPv6.
    try:
        servers.append(await asyncio.start_server(relay.handle, "::1", port, family=socket.AF_INET6))
    except OSError:
        pass
    if options.port_file:
        with open(options.port_file + ".new", "w") as f:
            f.write(f"{port}\n")
        os.replace(options.port_file + ".new", options.port_file)
    loop = asyncio.get_running_loop()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, relay.stopped.set)
    await relay.watchdog()
    for server in servers:
        server.close()
    if log is not sys.stdout:
        log.close()


def parse(argv):
    parser = argparse.ArgumentParser(description="Emulated slow link on loopback.")
    parser.add_argument("--upstream-port", type=int, required=True)
    parser.add_argument("--port", type=int, default=0, help="local port (0: a free one)")
    parser.add_argument("--port-file", help="file that receives the local port once listening")
    parser.add_argument("--log", help="event log (default: standard output)")
    parser.add_argument("--delay-ms", type=float, default=25.0, help="one-way delay")
    parser.add_argument("--rate-mbit", type=float, default=100.0, help="link rate; 0 for no limit")
    parser.add_argument("--max-seconds", type=float, default=900.0)
    parser.add_argument("--idle-seconds", type=float, default=120.0)
    parser.add_argument("--max-connections", type=int, default=1000)
    return parser.parse_args(argv)


if __name__ == "__main__":
    asyncio.run(serve(parse(sys.argv[1:])))
