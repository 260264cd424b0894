#!/usr/bin/python3
"""A real SMTP server on a free loopback port for the mail tests (aiosmtpd).

Every message accepted is written to DIR as N.eml (the bytes as received) and N.json
(sender and recipients). --refuse ADDRESS answers 550 to that recipient; --login USER:PASSWORD
asks for that login before any message. The first line on standard output says where it
listens: "in ascolto su 127.0.0.1:PORT". SIGTERM stops it.
"""
import argparse
import asyncio
import json
import os
import signal

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class Keeper:
    def __init__(self, folder, refused):
        self.folder = folder
        self.refused = refused
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address == self.refused:
            return "550 5.1.1 destinatario sconosciuto"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
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
    options = parser.parse_args()
    user, _, password = options.login.partition(":")

    def authenticate(server, session, envelope, mechanism, data):
        ok = isinstance(data, LoginPassword) and data.login.decode() == user and data.password.decode() == password
        return AuthResult(success=ok, handled=False)

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    keeper = Keeper(options.dir, options.refuse)
    extra = {}
    if options.login:
        extra = dict(authenticator=authenticate, auth_required=True, auth_require_tls=False)
    factory = lambda: SMTP(keeper, hostname="localhost", loop=loop, **extra)
    server = loop.run_until_complete(loop.create_server(factory, "127.0.0.1", 0))
    print("in ascolto su 127.0.0.1:%d" % server.sockets[0].getsockname()[1], flush=True)
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    main()
