#!/usr/bin/python3
"""A real SMTP server on a free loopback port for the mail tests (aiosmtpd).

Every message accepted is written to DIR as N.eml (the bytes as received) and N.json
(sender and recipients). --refuse ADDRESS answers 550 to that recipient; --login USER:PASSWORD
asks for that login before any message; --tls CERT KEY offers STARTTLS (and then takes a login
only over TLS), --implicit-tls makes it TLS from the first byte (smtps); --later N answers 452
to the first N recipients; --drop N closes the connection instead of answering the first N
messages; --silent accepts connections and never says a word; --port P listens on P (a server
coming back where it was). The first line on standard
output says where it listens: "in ascolto su 127.0.0.1:PORT". SIGTERM stops it.
"""
import argparse
import asyncio
import json
import os
import signal
import ssl

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Keeper:
    def __init__(self, folder, refused, later, drop):
        self.folder = folder
        self.refused = refused
        self.later = later
        self.drop = drop
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address == self.refused:
            return "550 5.1.1 destinatario sconosciuto"
        if self.later > 0:
            self.later -= 1
            return "452 4.3.1 riprova piu' tardi"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.drop > 0:
            self.drop -= 1
            server.transport.close()
            return "421 chiuso"
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".eml", "wb") as out:
            out.write(envelope.original_content)
        with open(base + ".json", "w") as out:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos}, out)
        return "250 Message accepted"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--refuse", default="")
    parser.add_argument("--login", default="")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--implicit-tls", action="store_true")
    parser.add_argument("--later", type=int, default=0)
    parser.add_argument("--drop", type=int, default=0)
    parser.add_argument("--silent", action="store_true")
    parser.add_argument("--port", type=int, default=0)
    options = parser.parse_args()
    user, _, password = options.login.partition(":")

    def authenticate(server, session, envelope, mechanism, data):
        ok = isinstance(data, LoginPassword) and data.login.decode() == user and data.password.decode() == password
        return AuthResult(success=ok, handled=False)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    keeper = Keeper(options.dir, options.refuse, options.later, options.drop)
    context = None
    if options.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options.tls[0], options.tls[1])
    extra = {}
    if options.login:
        extra = dict(authenticator=authenticate, auth_required=True, auth_require_tls=bool(context) and not options.implicit_tls)
    if context and not options.implicit_tls:
        extra["tls_context"] = context
    factory = lambda: SMTP(keeper, hostname="localhost", loop=loop, **extra)
    if options.silent:
        factory = asyncio.Protocol
    listening = options.implicit_tls and context or None
    server = loop.run_until_complete(loop.create_server(factory, "127.0.0.1", options.port, ssl=listening))
    print("in ascolto su 127.0.0.1:%d" % server.sockets[0].getsockname()[1], flush=True)
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    main()
