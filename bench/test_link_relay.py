"""Tests of the link relay: its reading of TLS and HTTP streams, its timing
arithmetic, and that it passes bytes through unchanged and logs what it saw."""

import asyncio
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import link_relay  # noqa: E402


def record(record_type, body):
    return bytes([record_type, 3, 3]) + len(body).to_bytes(2, "big") + body


CLIENT_HELLO = record(22, bytes([1, 0, 0, 40]) + bytes(40))
FINISHED = record(22, bytes([20, 0, 0, 12]) + bytes(12))
# Application data whose payload looks like a ClientHello record header.
DISGUISED = record(23, bytes([22, 3, 3, 0, 5, 1, 0, 0, 1, 0]) + bytes(300))


def feed_in_pieces(counter, stream, size):
    return sum(counter.feed(stream[i:i + size]) for i in range(0, len(stream), size))


class ClientHelloCounterTest(unittest.TestCase):
    def test_counts_hellos_in_any_chunking_and_nothing_inside_other_records(self):
        stream = CLIENT_HELLO + FINISHED + DISGUISED + CLIENT_HELLO + DISGUISED
        for size in (1, 2, 5, 6, 7, 64, len(stream)):
            with self.subTest(chunk=size):
                self.assertEqual(feed_in_pieces(link_relay.ClientHelloCounter(), stream, size), 2)

    def test_plain_http_has_no_handshakes(self):
        stream = b"GET /a HTTP/1.1\r\nHost: x\r\n\r\n" * 3
        self.assertEqual(feed_in_pieces(link_relay.ClientHelloCounter(), stream, 3), 0)


class RequestHeadsTest(unittest.TestCase):
    def test_finds_each_request_path_across_chunks(self):
        stream = (b"GET /programy/wersja7/bkp6/baza1.db HTTP/1.1\r\nHost: h\r\n\r\n"
                  b"GET /programy/wersja7/poprawki/Edytor3._exe HTTP/1.1\r\nAuthorization: Basic eA==\r\n\r\n")
        heads = link_relay.RequestHeads()
        paths = []
        for i in range(0, len(stream), 4):
            paths += heads.feed(stream[i:i + 4])
        self.assertEqual(paths, ["/programy/wersja7/bkp6/baza1.db", "/programy/wersja7/poprawki/Edytor3._exe"])

    def test_a_tls_stream_has_no_requests(self):
        self.assertEqual(link_relay.RequestHeads().feed(CLIENT_HELLO + DISGUISED), [])


class LinkTest(unittest.TestCase):
    def test_pieces_queue_behind_each_other_then_travel_the_delay(self):
        link = link_relay.Link(delay=0.025, bytes_per_second=12_500_000)
        times = [link.delivery_time(0.0, 12_500) for _ in range(3)]
        for got, expected in zip(times, (0.026, 0.027, 0.028)):
            self.assertAlmostEqual(got, expected)
        # After a pause the line is free again: only this piece's own time.
        self.assertAlmostEqual(link.delivery_time(1.0, 125_000), 1.035)

    def test_without_a_rate_only_the_delay_counts(self):
        link = link_relay.Link(delay=0.0, bytes_per_second=0)
        self.assertEqual(link.delivery_time(2.0, 10**9), 2.0)


class RelayPassThroughTest(unittest.TestCase):
    """A real relay on loopback in front of a small server that answers each
    request head with a body of known bytes."""

    def test_bytes_pass_unchanged_and_the_log_names_connections_and_requests(self):
        asyncio.run(asyncio.wait_for(self.exchange(), 20))

    async def exchange(self):
        body = bytes(range(256)) * 1000

        async def serve(reader, writer):
            while True:
                try:
                    await reader.readuntil(b"\r\n\r\n")
                except asyncio.IncompleteReadError:
                    break
                writer.write(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body)
                await writer.drain()
            writer.close()

        server = await asyncio.start_server(serve, "127.0.0.1", 0)
        upstream = server.sockets[0].getsockname()[1]
        with tempfile.TemporaryDirectory() as folder:
            log_path = os.path.join(folder, "events.log")
            options = link_relay.parse(["--upstream-port", str(upstream), "--delay-ms", "1", "--rate-mbit", "0",
                                        "--port-file", os.path.join(folder, "port"), "--log", log_path,
                                        "--max-seconds", "15"])
            relay = asyncio.create_task(link_relay.serve(options))
            port = await self.port_of(os.path.join(folder, "port"))
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            for name in ("a", "b"):
                writer.write(b"GET /%s HTTP/1.1\r\nHost: x\r\n\r\n" % name.encode())
                await writer.drain()
                head = await reader.readuntil(b"\r\n\r\n")
                self.assertTrue(head.startswith(b"HTTP/1.1 200 OK"))
                self.assertEqual(await reader.readexactly(len(body)), body)
            writer.close()
            await self.until(lambda: "close" in open(log_path).read())
            relay.cancel()
            events = [line.split() for line in open(log_path)]
        server.close()
        kinds = [e[0] for e in events]
        self.assertEqual(kinds.count("accept"), 1)
        self.assertEqual([e[3] for e in events if e[0] == "request"], ["/a", "/b"])
        close = next(e for e in events if e[0] == "close")
        self.assertEqual(int(close[4]), 2 * (len(body) + len(b"HTTP/1.1 200 OK\r\nContent-Length: 256000\r\n\r\n")))

    @staticmethod
    async def port_of(path):
        for _ in range(100):
            if os.path.exists(path):
                return int(open(path).read())
            await asyncio.sleep(0.05)
        raise AssertionError("the relay did not start")

    @staticmethod
    async def until(condition):
        for _ in range(100):
            if condition():
                return
            await asyncio.sleep(0.05)
        raise AssertionError("the relay did not log the end of the connection")


if __name__ == "__main__":
    unittest.main()
