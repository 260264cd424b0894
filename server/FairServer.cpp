#include "FairServer.h"

#include <fcntl.h>
#include <microhttpd.h>
#include <netdb.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <charconv>
#include <cstring>
#include <filesystem>

#include "FileConditions.h"
#include "FileVersion.h"
#include "HttpDate.h"
#include "FileResponse.h"
#include "HttpExchange.h"
#include "platform/Format.h"
#include "platform/Log.h"

namespace torvane::fiera {

namespace {

// Event loops; an order's store (fsync, parse) runs on the one that read it, so several let
// the disk's flushes overlap.
constexpr unsigned kServingThreads = 16;
constexpr unsigned kIdleSeconds = 60;  // no byte either way: closed even when no deadline runs
constexpr std::size_t kFormBuffer = 64 * 1024;

const char* header(MHD_Connection* connection, const char* name) {
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
}

std::string headerText(MHD_Connection* connection, const char* name) {
    const char* value = header(connection, name);
    return value ? value : "";
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if ((text[i] | 0x20) != (prefix[i] | 0x20)) return false;
    return true;
}

std::string addressOf(const sockaddr* address) {
    char host[NI_MAXHOST] = "?";
    if (address) {
        const socklen_t length = address->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
        getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST);
    }
    return host;
}

// Paths and names come from the network: no control character reaches the log, so no
// request can write a line that looks like another.
std::string printable(std::string line) {
    for (char& c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    return line;
}

// The request path decoded as the server's own decoder does, except that an encoded NUL is
// left as it is: it would otherwise cut the path short ("/fiere.xml%00.jpg").
size_t unescape(void*, MHD_Connection*, char* text) {
    for (const char* p = text; (p = std::strchr(p, '%')) != nullptr; ++p)
        if (p[1] == '0' && p[2] == '0') return std::strlen(text);
    return MHD_http_unescape(text);
}

}  // namespace

struct ServerCallbacks {
    // A request's line has arrived: its exchange starts here, so that one whose client goes
    // away before the headers are read is still logged (it is never handed over otherwise).
    static void* requestLine(void* self, const char* uri, MHD_Connection* connection) {
        auto& server = *static_cast<FairServer*>(self);
        auto* exchange = new HttpExchange(connection, *server.watch_, server.inbox_);
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        exchange->watched = info ? static_cast<ConnectionWatch::Connection*>(info->socket_context) : nullptr;
        const MHD_ConnectionInfo* client = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        exchange->address = addressOf(client ? client->client_addr : nullptr);
        exchange->method = "?";
        exchange->path = std::string(uri).substr(0, 2000);
        return exchange;
    }

    static MHD_Result request(void* self, MHD_Connection* connection, const char* url, const char* method,
                              const char*, const char* data, size_t* size, void** context) {
        auto& server = *static_cast<FairServer*>(self);
        if (!*context) *context = requestLine(self, url, connection);
        auto* exchange = static_cast<HttpExchange*>(*context);
        if (!exchange->begun) {
            exchange->begun = true;
            exchange->method = method;
            exchange->path = url;
            server.begin(*exchange);
        } else if (*size > 0) {
            server.receive(*exchange, data, *size);
            *size = 0;
        } else if (!exchange->answered) {
            server.respond(*exchange);
        }
        return exchange->cut ? MHD_NO : MHD_YES;
    }

    static void completed(void* self, MHD_Connection*, void** context, MHD_RequestTerminationCode) {
        auto& server = *static_cast<FairServer*>(self);
        auto* exchange = static_cast<HttpExchange*>(*context);
        if (!exchange) return;
        if (!exchange->answered && exchange->status == 0) {
            exchange->status = 400;
            exchange->note = "richiesta interrotta o non valida";
        }
        server.logRequest(*exchange);
        server.watch_->nextRequest(exchange->watched);
        delete exchange;
        *context = nullptr;
    }

    static void connection(void* self, MHD_Connection* connection, void** context,
                           MHD_ConnectionNotificationCode code) {
        auto& server = *static_cast<FairServer*>(self);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* fd = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
            const MHD_ConnectionInfo* client = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            *context = fd ? server.watch_->opened(fd->connect_fd, addressOf(client ? client->client_addr : nullptr))
                          : nullptr;
        } else {
            server.watch_->closed(static_cast<ConnectionWatch::Connection*>(*context));
            *context = nullptr;
        }
    }

    static MHD_Result uploadField(void* cls, MHD_ValueKind, const char* key, const char* filename, const char*,
                                  const char*, const char* data, uint64_t offset, size_t size) {
        auto& exchange = *static_cast<HttpExchange*>(cls);
        if (!key) return MHD_YES;
        if (exchange.newPart(key, offset)) {
            exchange.inField = std::strcmp(key, "userfile") == 0 && !exchange.seenField;  // a second one is ignored
            if (exchange.inField) {
                exchange.seenField = true;
                exchange.sentName = filename ? filename : "";
                exchange.incoming = exchange.inbox.receive();
                exchange.diskFailed = !exchange.incoming;
            }
        }
        exchange.partBytes = offset + size;
        if (exchange.inField && !exchange.diskFailed && size > 0 && !exchange.incoming->write(data, size))
            exchange.diskFailed = true;
        return exchange.diskFailed ? MHD_NO : MHD_YES;
    }

    static MHD_Result loginField(void* cls, MHD_ValueKind, const char* key, const char*, const char*, const char*,
                                 const char* data, uint64_t offset, size_t size) {
        auto& exchange = *static_cast<HttpExchange*>(cls);
        if (!key) return MHD_YES;
        const bool fresh = exchange.newPart(key, offset);
        exchange.partBytes = offset + size;
        std::string* value = std::strcmp(key, "user") == 0   ? &exchange.user
                             : std::strcmp(key, "pass") == 0 ? &exchange.password
                                                             : nullptr;
        if (!value) return MHD_YES;
        (value == &exchange.user ? exchange.haveUser : exchange.havePassword) = true;
        if (fresh) value->clear();
        if (size > 0) value->append(data, size);
        return MHD_YES;
    }
};

FairServer::FairServer(FairServerOptions options)
    : options_(std::move(options)),
      inbox_(options_.dir + "/" + ordersFolderName),
      files_(options_.dir, ordersFolderName),
      page_(inbox_),
      access_(options_.pagePassword) {}

FairServer::~FairServer() {
    if (daemon_) {
        paused_->resumeAll();
        MHD_stop_daemon(daemon_);
    }
}

bool FairServer::start(std::string& error) {
    if (!inbox_.open(error)) return false;
    if (options_.profiles) {
        profiles_.emplace();
        if (!profiles_->load(*options_.profiles, error)) return false;
    }
    // The folder exists now: its real path. The profiles hold every user's password.
    std::vector<std::string> secrets;
    if (options_.profiles) secrets.push_back(*options_.profiles);
    files_ = StaticFiles(options_.dir, ordersFolderName, secrets);
    ConnectionWatch::Limits limits;
    limits.headerTime = std::chrono::seconds(options_.headerSeconds);
    limits.minimumRate = options_.minimumRate;
    watch_ = std::make_unique<ConnectionWatch>(limits, [](const std::string& address, const std::string& reason) {
        Log::line(printable(address + " connessione chiusa: " + reason));
    });
    paused_ = std::make_unique<PausedConnections>(
        [](void* c) { MHD_suspend_connection(static_cast<MHD_Connection*>(c)); },
        [](void* c) { MHD_resume_connection(static_cast<MHD_Connection*>(c)); });
    copies_ = std::make_unique<CompressedCopies>();

    // Each connection takes two descriptors (its socket and the watch's duplicate), and a file
    // being sent a third: never more connections than the process may open.
    unsigned connections = options_.maxConnections;
    rlimit files{};
    if (getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur != RLIM_INFINITY && files.rlim_cur > 64)
        connections = static_cast<unsigned>(std::min<rlim_t>(connections, (files.rlim_cur - 64) / 3));
    if (connections < options_.maxConnections)
        Log::f("Connessioni limitate a %d dai file apribili dal processo", static_cast<long long>(connections));
    const unsigned threads = std::max(1u, std::min(kServingThreads, connections));

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(options_.port);
    if (getaddrinfo(options_.bind.c_str(), service.c_str(), &hints, &found) == 0 && found) {
        unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME;
        if (found->ai_family == AF_INET6) flags |= MHD_USE_IPv6;
        daemon_ = MHD_start_daemon(
            flags, static_cast<uint16_t>(options_.port), nullptr, nullptr, &ServerCallbacks::request, this,
            MHD_OPTION_SOCK_ADDR, found->ai_addr, MHD_OPTION_THREAD_POOL_SIZE, threads,
            MHD_OPTION_CONNECTION_LIMIT, connections, MHD_OPTION_PER_IP_CONNECTION_LIMIT,
            options_.maxPerAddress, MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds, MHD_OPTION_NOTIFY_COMPLETED,
            &ServerCallbacks::completed, this, MHD_OPTION_NOTIFY_CONNECTION, &ServerCallbacks::connection, this,
            MHD_OPTION_UNESCAPE_CALLBACK, &unescape, nullptr, MHD_OPTION_URI_LOG_CALLBACK,
            &ServerCallbacks::requestLine, this, MHD_OPTION_END);
        freeaddrinfo(found);
    }
    const MHD_DaemonInfo* bound = daemon_ ? MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT) : nullptr;
    if (!bound) {
        error = format("impossibile ascoltare su %@:%d", options_.bind, options_.port);
        return false;
    }
    port_ = bound->port;
    // The text documents already in the folder are compressed now, before a device asks.
    std::error_code code;
    for (const auto& entry : std::filesystem::directory_iterator(options_.dir, code)) {
        const std::optional<std::string> path = files_.resolve("/" + entry.path().filename().string());
        if (!path || !CompressedCopies::worthCompressing(StaticFiles::contentType(*path))) continue;
        const int fd = ::open(path->c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        if (const std::optional<FileVersion> version = FileVersion::ofOpenFile(fd)) copies_->find(*path, version->etag());
        ::close(fd);
    }
    return true;
}

void FairServer::run() {
    std::unique_lock lock(runMutex_);
    stopped_.wait(lock, [this] { return stopRequested_; });
    paused_->resumeAll();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

void FairServer::stop() {
    std::lock_guard lock(runMutex_);
    stopRequested_ = true;
    stopped_.notify_all();
}

void FairServer::begin(HttpExchange& exchange) {
    const std::string encoding = headerText(exchange.connection, "Content-Encoding");
    if (!encoding.empty() && !startsWithIgnoringCase(encoding, "identity")) {
        // A body is limited on the bytes read: one that would grow once decoded is not taken.
        exchange.note = "corpo compresso rifiutato";
        return exchange.text(415, "Errore: corpo compresso non accettato", true);
    }
    const bool isGet = exchange.method == "GET" || exchange.method == "HEAD";
    if (exchange.method == "POST" && exchange.path == "/upload.php") {
        exchange.route = HttpExchange::Route::Upload;
        exchange.bodyLimit = OrderInbox::maxBodySize;
    } else if (exchange.method == "POST" && exchange.path == "/ios/userProfile" && profiles_) {
        exchange.route = HttpExchange::Route::Login;
        exchange.bodyLimit = maxLoginBody;
    } else if (isGet) {
        exchange.route = exchange.path == "/" ? HttpExchange::Route::Page : HttpExchange::Route::File;
    } else {
        return exchange.text(405, "Errore: richiesta non accettata", true);
    }
    // A body that is too big, or one sent where none is taken, is refused on its announced
    // length before any of it is read; one sent without a length is counted as it arrives.
    std::uint64_t announced = 0;
    const std::string length = headerText(exchange.connection, "Content-Length");
    std::from_chars(length.data(), length.data() + length.size(), announced);
    const bool hasBody = announced > 0 || header(exchange.connection, "Transfer-Encoding");
    if (announced > exchange.bodyLimit || (exchange.bodyLimit == 0 && hasBody)) {
        const bool asked = startsWithIgnoringCase(headerText(exchange.connection, "Expect"), "100-continue");
        if (exchange.route == HttpExchange::Route::Upload && asked) {
            exchange.note = "rifiutato prima di leggerlo";
            return exchange.text(417, "Errore: ordine oltre 20 MB, rifiutato", true);
        }
        exchange.note = exchange.bodyLimit == 0 ? std::string("corpo non ammesso")
                                                : "rifiutato prima di leggerlo: " + std::to_string(announced) + " byte";
        return exchange.text(413,
                             exchange.route == HttpExchange::Route::Upload ? "Errore: ordine oltre 20 MB, rifiutato"
                                                                       : "Errore: richiesta troppo grande",
                             true);
    }
    if (exchange.route == HttpExchange::Route::Upload) {
        const bool isForm = startsWithIgnoringCase(headerText(exchange.connection, "Content-Type"), "multipart/form-data");
        if (isForm)
            exchange.form = MHD_create_post_processor(exchange.connection, kFormBuffer, &ServerCallbacks::uploadField,
                                                      &exchange);
        exchange.notForm = !exchange.form;
    } else if (exchange.route == HttpExchange::Route::Login) {
        exchange.form =
            MHD_create_post_processor(exchange.connection, kFormBuffer, &ServerCallbacks::loginField, &exchange);
    }
    watch_->bodyStarted(exchange.watched);
}

void FairServer::receive(HttpExchange& exchange, const char* data, std::size_t size) {
    if (exchange.answered) return;
    exchange.bodyBytes += size;
    watch_->bodyReceived(exchange.watched, size);
    if (exchange.bodyBytes > exchange.bodyLimit) {
        // Sent without announcing its length: stopped at the limit.
        exchange.incoming.reset();
        if (exchange.route == HttpExchange::Route::Upload) {
            exchange.note = "oltre 20 MB";
            return exchange.text(413, "Errore: ordine oltre 20 MB, rifiutato", true);
        }
        exchange.note = "oltre " + std::to_string(exchange.bodyLimit / 1024) + " KB";
        return exchange.text(413, "Errore: richiesta troppo grande", true);
    }
    if (exchange.form && !exchange.badBody && MHD_post_process(exchange.form, data, size) != MHD_YES)
        exchange.badBody = true;
}

void FairServer::respond(HttpExchange& exchange) {
    if (exchange.form) {
        if (MHD_destroy_post_processor(exchange.form) != MHD_YES) exchange.badBody = true;
        exchange.form = nullptr;
    }
    switch (exchange.route) {
    case HttpExchange::Route::Upload: return upload(exchange);
    case HttpExchange::Route::Login: return login(exchange);
    case HttpExchange::Route::Page: return page(exchange);
    case HttpExchange::Route::File: return file(exchange);
    case HttpExchange::Route::Refused: return;
    }
}

void FairServer::upload(HttpExchange& exchange) {
    if (exchange.notForm) {
        exchange.note = "senza campo userfile";
        return exchange.text(400, "Errore: manca il campo userfile");
    }
    if (exchange.diskFailed) {
        exchange.note = "errore del disco";
        return exchange.text(500, "Errore: impossibile salvare l'ordine");
    }
    if (exchange.badBody) {
        exchange.note = "richiesta interrotta o non valida";
        return exchange.text(400, "Errore: richiesta interrotta o non valida");
    }
    if (!exchange.seenField) {
        exchange.note = "senza campo userfile";
        return exchange.text(400, "Errore: manca il campo userfile");
    }
    const std::size_t size = exchange.incoming->size();
    const StoreResult stored = inbox_.store(std::move(exchange.incoming), exchange.sentName);
    switch (stored.outcome) {
    case StoreOutcome::Stored:
        exchange.note = format("ordine salvato come %@ (%d byte)", stored.name, static_cast<long long>(size));
        return exchange.text(200, "File " + stored.name + " successfully uploaded");
    case StoreOutcome::AlreadyStored:
        exchange.note = "gia' ricevuto come " + stored.name;
        return exchange.text(200, "File gia' ricevuto come " + stored.name + ": successfully uploaded");
    case StoreOutcome::NotXml:
        exchange.note = "non XML: " + exchange.sentName;
        return exchange.text(422, "Errore: il file non e' un XML ben formato");
    case StoreOutcome::Failed:
        exchange.note = "errore del disco";
        return exchange.text(500, "Errore: impossibile salvare l'ordine");
    }
}

void FairServer::login(HttpExchange& exchange) {
    // Fields in the body; the query's when the body has none.
    auto field = [&](const char* name, std::string& value, bool have) {
        if (have) return;
        const char* query = MHD_lookup_connection_value(exchange.connection, MHD_GET_ARGUMENT_KIND, name);
        value = query ? query : "";
    };
    field("user", exchange.user, exchange.haveUser);
    field("pass", exchange.password, exchange.havePassword);
    exchange.haveUser = exchange.havePassword = true;
    const auto now = LoginThrottle::Clock::now();
    if (!exchange.turn) {
        // The password is never written to the log.
        exchange.note = "profilo di " + exchange.user.substr(0, 60);
        exchange.turn = throttle_.turn(exchange.address, now);
        if (!exchange.turn) {
            exchange.note += ": troppi tentativi falliti";
            return exchange.text(429, "Errore: troppi tentativi, riprovare fra poco");
        }
        if (*exchange.turn > now) {
            exchange.note += format(" (atteso %d ms)", static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                            *exchange.turn - now).count()));
        }
    }
    if (*exchange.turn > now) {
        watch_->waiting(exchange.watched);
        if (paused_->pauseUntil(exchange.connection, *exchange.turn)) return;
    }
    const std::string reply = profiles_->answer(exchange.user, exchange.password);
    if (reply == UserProfiles::noCompanies) throttle_.failed(exchange.address, LoginThrottle::Clock::now());
    MHD_Response* response =
        MHD_create_response_from_buffer(reply.size(), const_cast<char*>(reply.data()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, "Content-Type", "application/json");
    exchange.send(200, response, reply.size());
}

void FairServer::page(HttpExchange& exchange) {
    switch (access_.check(exchange.address, headerText(exchange.connection, "Authorization"))) {
    case PageAccess::Verdict::Allowed: {
        const std::string html = page_.html();
        MHD_Response* response =
            MHD_create_response_from_buffer(html.size(), const_cast<char*>(html.data()), MHD_RESPMEM_MUST_COPY);
        MHD_add_response_header(response, "Content-Type", "text/html; charset=utf-8");
        return exchange.send(200, response, html.size());
    }
    case PageAccess::Verdict::NeedsPassword: {
        const std::string line = "Serve la password della pagina\n";
        MHD_Response* response =
            MHD_create_response_from_buffer(line.size(), const_cast<char*>(line.data()), MHD_RESPMEM_MUST_COPY);
        MHD_add_response_header(response, "Content-Type", "text/plain; charset=utf-8");
        MHD_add_response_header(response, "WWW-Authenticate", "Basic realm=\"torvane-fiera\", charset=\"UTF-8\"");
        return exchange.send(401, response, line.size());
    }
    case PageAccess::Verdict::Refused:
        return exchange.text(403, "Pagina visibile solo da questo PC");
    }
}

void FairServer::file(HttpExchange& exchange) {
    const std::optional<std::string> path = files_.resolve(exchange.path);
    const int fd = path ? ::open(path->c_str(), O_RDONLY | O_CLOEXEC) : -1;
    const std::optional<FileVersion> version = fd >= 0 ? FileVersion::ofOpenFile(fd) : std::nullopt;
    if (!version) {
        if (fd >= 0) ::close(fd);
        return exchange.text(404, "File non trovato");
    }
    MHD_Connection* connection = exchange.connection;
    FileRequest request{headerText(connection, "Accept-Encoding"), headerText(connection, "If-None-Match"),
                        headerText(connection, "If-Modified-Since"), headerText(connection, "Range"),
                        headerText(connection, "If-Range")};
    FileResponse::Representation chosen{fd, version->size, version->etag(), version->modified(),
                                        StaticFiles::contentType(*path), false,
                                        CompressedCopies::worthCompressing(StaticFiles::contentType(*path))};
    if (chosen.varies && FileConditions::acceptsGzip(request.acceptEncoding)) {
        // The copy is made off the serving threads; the request waits for it, set aside.
        const bool canWait = paused_->expect(connection);
        const CompressedCopies::State state =
            copies_->find(*path, chosen.etag, canWait ? std::function<void()>([this, connection] {
                paused_->resume(connection);
            }) : std::function<void()>());
        if (state == CompressedCopies::State::Pending && canWait) {
            ::close(fd);
            watch_->waiting(exchange.watched);
            return paused_->pause(connection);
        }
        if (canWait) paused_->forget(connection);
        if (state == CompressedCopies::State::Ready) {
            const int copy = ::open(CompressedCopies::copyPathOf(*path).c_str(), O_RDONLY | O_CLOEXEC);
            const std::optional<FileVersion> copyVersion = copy >= 0 ? FileVersion::ofOpenFile(copy) : std::nullopt;
            if (copyVersion && CompressedCopies::versionRecordedIn(copy) == chosen.etag) {
                ::close(fd);
                chosen.fd = copy;
                chosen.size = copyVersion->size;
                chosen.etag = version->etag("-gzip");
                chosen.gzipped = true;
            } else if (copy >= 0) {
                ::close(copy);
            }
        }
    }
    const FileResponse answer = FileResponse::build(chosen, request);
    if (answer.status == 206) exchange.note = answer.contentRange;
    exchange.send(answer.status, answer.response, answer.bytes);
}

void FairServer::logRequest(const HttpExchange& exchange) const {
    Log::line(printable(format("%@ %@ %@ %d%@", exchange.address, exchange.method, exchange.path,
                               static_cast<long long>(exchange.status),
                               exchange.note.empty() ? std::string() : " " + exchange.note)));
}

}  // namespace torvane::fiera
