#include "FairServer.h"

#include <httplib.h>

#include <fstream>

#include "platform/Format.h"
#include "platform/Log.h"

namespace torvane::fiera {

namespace {

// What the request's log line adds about its outcome; set by the handler, taken by the
// logger, which runs after it on the same thread.
thread_local std::string requestNote;

void answer(httplib::Response& response, int status, const std::string& text) {
    response.status = status;
    response.set_content(text + "\n", "text/plain; charset=utf-8");
}

}  // namespace

FairServer::FairServer(FairServerOptions options)
    : options_(std::move(options)),
      inbox_(options_.dir + "/" + ordersFolderName),
      files_(options_.dir, ordersFolderName),
      page_(inbox_),
      access_(options_.pagePassword),
      server_(std::make_unique<httplib::Server>()) {}

FairServer::~FairServer() = default;

bool FairServer::start(std::string& error) {
    if (!inbox_.open(error)) return false;
    if (options_.profiles) {
        profiles_.emplace();
        if (!profiles_->load(*options_.profiles, error)) return false;
    }
    files_ = StaticFiles(options_.dir, ordersFolderName);  // the folder exists now: its real path
    httplib::Server& server = *server_;
    server.set_read_timeout(30, 0);
    server.set_write_timeout(30, 0);
    server.set_payload_max_length(OrderInbox::maxBodySize);
    // A client that asks before sending ("Expect: 100-continue") is told no at once.
    server.set_expect_100_continue_handler([](const httplib::Request& request, httplib::Response&) {
        const bool tooBig = request.has_header("Content-Length") &&
                            request.get_header_value<std::uint64_t>("Content-Length") > OrderInbox::maxBodySize;
        if (tooBig) requestNote = "rifiutato prima di leggerlo";
        return tooBig ? 417 : 100;
    });
    // One request per connection: a device makes one upload or one download at a time, and
    // the rest of a refused body is then never read as if it were the next request.
    server.set_keep_alive_max_count(1);
    // Before any body is read: a body that is too big, or one sent where none is taken, is
    // refused on its announced length and the connection closed, so it is never read.
    const bool answersLogins = profiles_.has_value();
    server.set_pre_routing_handler([answersLogins](const httplib::Request& request, httplib::Response& response) {
        const bool isUpload = request.method == "POST" && request.path == "/upload.php";
        // A login is a few fields: a larger body is refused unread.
        constexpr std::uint64_t kLoginBody = 64 * 1024;
        const bool isLogin = answersLogins && request.method == "POST" && request.path == "/ios/userProfile";
        if (isLogin) {
            const std::uint64_t length =
                request.has_header("Content-Length") ? request.get_header_value<std::uint64_t>("Content-Length") : 0;
            if (length <= kLoginBody) return httplib::Server::HandlerResponse::Unhandled;
            answer(response, 413, "Errore: richiesta troppo grande");
            response.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        const std::uint64_t announced =
            request.has_header("Content-Length") ? request.get_header_value<std::uint64_t>("Content-Length") : 0;
        if (!isUpload && request.method != "GET" && request.method != "HEAD") {
            answer(response, 405, "Errore: richiesta non accettata");
            response.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        if (isUpload && announced > OrderInbox::maxBodySize) {
            answer(response, 413, "Errore: ordine oltre 20 MB, rifiutato");
            response.set_header("Connection", "close");
            requestNote = "rifiutato prima di leggerlo: " + std::to_string(announced) + " byte";
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.Post("/upload.php", [this](const httplib::Request& request, httplib::Response& response,
                                      const httplib::ContentReader& reader) { upload(request, response, reader); });
    if (profiles_)
        server.Post("/ios/userProfile", [this](const httplib::Request& request, httplib::Response& response) {
            const std::string user = request.get_param_value("user");
            // The password is never written to the log.
            requestNote = "profilo di " + user.substr(0, 60);
            response.set_content(profiles_->answer(user, request.get_param_value("pass")), "application/json");
        });
    server.Get("/", [this](const httplib::Request& request, httplib::Response& response) { page(request, response); });
    server.Get(R"(/.+)", [this](const httplib::Request& request, httplib::Response& response) { file(request, response); });
    server.set_logger([](const httplib::Request& request, const httplib::Response& response) {
        std::string note = std::move(requestNote);
        requestNote.clear();
        // Paths and names come from the network: no control character reaches the log, so
        // no request can write a line that looks like another.
        std::string line = format("%@ %@ %@ %d%@", request.remote_addr, request.method, request.path,
                                  response.status, note.empty() ? std::string() : " " + note);
        for (char& c : line)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
        Log::line(line);
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
        answer(response, 500, "Errore interno");
    });
    port_ = options_.port == 0 ? server.bind_to_any_port(options_.bind)
                               : (server.bind_to_port(options_.bind, options_.port) ? options_.port : -1);
    if (port_ <= 0) {
        error = format("impossibile ascoltare su %@:%d", options_.bind, options_.port);
        return false;
    }
    return true;
}

void FairServer::run() { server_->listen_after_bind(); }

void FairServer::stop() { server_->stop(); }

void FairServer::upload(const httplib::Request& request, httplib::Response& response,
                        const httplib::ContentReader& reader) {
    if (!request.is_multipart_form_data()) {
        answer(response, 400, "Errore: manca il campo userfile");
        requestNote = "senza campo userfile";
        return;
    }
    std::unique_ptr<IncomingOrder> incoming;
    std::string sentName;
    bool inField = false, seenField = false, tooBig = false, diskFailed = false;
    std::size_t received = 0;
    const bool read = reader(
        [&](const httplib::MultipartFormData& part) {
            inField = part.name == "userfile" && !seenField;  // a second one is ignored
            if (!inField) return true;
            seenField = true;
            sentName = part.filename;
            incoming = inbox_.receive();
            diskFailed = !incoming;
            return !diskFailed;
        },
        [&](const char* data, std::size_t size) {
            if (!inField) return true;
            received += size;
            if (received > OrderInbox::maxBodySize) {
                tooBig = true;  // sent without announcing its length: stopped at the limit
                return false;
            }
            if (!incoming->write(data, size)) {
                diskFailed = true;
                return false;
            }
            return true;
        });
    if (tooBig) {
        answer(response, 413, "Errore: ordine oltre 20 MB, rifiutato");
        response.set_header("Connection", "close");
        requestNote = "oltre 20 MB";
        return;
    }
    if (diskFailed) {
        answer(response, 500, "Errore: impossibile salvare l'ordine");
        requestNote = "errore del disco";
        return;
    }
    if (!read) {
        answer(response, 400, "Errore: richiesta interrotta o non valida");
        requestNote = "richiesta interrotta o non valida";
        return;
    }
    if (!seenField) {
        answer(response, 400, "Errore: manca il campo userfile");
        requestNote = "senza campo userfile";
        return;
    }
    const std::size_t size = incoming->size();
    const StoreResult stored = inbox_.store(std::move(incoming), sentName);
    switch (stored.outcome) {
    case StoreOutcome::Stored:
        answer(response, 200, "File " + stored.name + " successfully uploaded");
        requestNote = format("ordine salvato come %@ (%d byte)", stored.name, static_cast<long long>(size));
        break;
    case StoreOutcome::AlreadyStored:
        answer(response, 200, "File gia' ricevuto come " + stored.name + ": successfully uploaded");
        requestNote = "gia' ricevuto come " + stored.name;
        break;
    case StoreOutcome::NotXml:
        answer(response, 422, "Errore: il file non e' un XML ben formato");
        requestNote = "non XML: " + sentName;
        break;
    case StoreOutcome::Failed:
        answer(response, 500, "Errore: impossibile salvare l'ordine");
        requestNote = "errore del disco";
        break;
    }
}

void FairServer::page(const httplib::Request& request, httplib::Response& response) {
    switch (access_.check(request.remote_addr, request.get_header_value("Authorization"))) {
    case PageAccess::Verdict::Allowed:
        response.status = 200;
        response.set_content(page_.html(), "text/html; charset=utf-8");
        break;
    case PageAccess::Verdict::NeedsPassword:
        answer(response, 401, "Serve la password della pagina");
        response.set_header("WWW-Authenticate", "Basic realm=\"torvane-fiera\", charset=\"UTF-8\"");
        break;
    case PageAccess::Verdict::Refused:
        answer(response, 403, "Pagina visibile solo da questo PC");
        break;
    }
}

void FairServer::file(const httplib::Request& request, httplib::Response& response) {
    const std::optional<std::string> path = files_.resolve(request.path);
    auto in = path ? std::make_shared<std::ifstream>(*path, std::ios::binary) : nullptr;
    if (!in || !*in) {
        answer(response, 404, "File non trovato");
        return;
    }
    in->seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(in->tellg());
    in->seekg(0);
    response.status = 200;
    // Catalogue documents run to tens of megabytes: sent in pieces, never held whole.
    response.set_content_provider(size, StaticFiles::contentType(*path),
                                  [in](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                                      char buffer[1 << 16];
                                      in->seekg(static_cast<std::streamoff>(offset));
                                      const std::size_t want = std::min(length, sizeof buffer);
                                      in->read(buffer, static_cast<std::streamsize>(want));
                                      const auto got = in->gcount();
                                      if (got <= 0) return false;
                                      sink.write(buffer, static_cast<std::size_t>(got));
                                      return true;
                                  });
}

}  // namespace torvane::fiera
