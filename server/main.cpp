// torvane-fiera: the fair PC's server. Takes the orders the devices upload, serves the fair's
// catalogue documents and photos, and shows the orders received.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <thread>
#include <variant>

#include "FairServer.h"
#include "platform/Log.h"

using torvane::fiera::FairServer;
using torvane::fiera::FairServerOptions;

int main(int argc, char** argv) {
    auto parsed = FairServerOptions::parse(argc, argv);
    if (auto* problem = std::get_if<std::string>(&parsed)) {
        std::cerr << "torvane-fiera: " << *problem << "\n" << FairServerOptions::usage << "\n";
        return 2;
    }
    const FairServerOptions options = std::get<FairServerOptions>(parsed);

    // SIGINT and SIGTERM are taken by one thread that stops the server: every other thread
    // runs with them blocked, so no handler ever runs inside the server's code.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a device that goes away mid-answer

    FairServer server(options);
    std::string error;
    if (!server.start(error)) {
        std::cerr << "torvane-fiera: " << error << "\n";
        return 1;
    }
    const std::string host = options.bind.find(':') != std::string::npos ? "[" + options.bind + "]" : options.bind;
    std::cout << "in ascolto su http://" << host << ":" << server.port() << std::endl;

    std::atomic<bool> signalled{false};
    std::thread stopper([&] {
        int received = 0;
        sigwait(&stopSignals, &received);
        if (signalled.exchange(true)) return;  // woken by main below
        torvane::Log::f("Arresto (segnale %d)", received);
        server.stop();
    });
    server.run();
    // Should the server ever end without a signal, the stopper is woken all the same.
    if (!signalled.exchange(true)) pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    torvane::Log::line("Server fermato");
    return 0;
}
