#include "HttpExchange.h"

#include <microhttpd.h>

namespace torvane::fiera {

HttpExchange::HttpExchange(MHD_Connection* c, ConnectionWatch& w, OrderInbox& i) : connection(c), watch(w), inbox(i) {}

HttpExchange::~HttpExchange() {
    if (form) MHD_destroy_post_processor(form);
}

void HttpExchange::send(int code, MHD_Response* response, std::uint64_t bytes) {
    status = code;
    answered = MHD_queue_response(connection, static_cast<unsigned>(code), response) == MHD_YES;
    MHD_destroy_response(response);
    if (answered) {
        watch.answering(watched, bytes);
    } else {
        // Half-way through a body no answer can be queued: the connection is closed instead.
        cut = true;
        note += " (connessione chiusa)";
    }
}

void HttpExchange::text(int code, const std::string& body, bool close) {
    const std::string line = body + "\n";
    MHD_Response* response =
        MHD_create_response_from_buffer(line.size(), const_cast<char*>(line.data()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, "Content-Type", "text/plain; charset=utf-8");
    if (close) MHD_add_response_header(response, "Connection", "close");
    send(code, response, line.size());
}

bool HttpExchange::newPart(const char* key, std::uint64_t offset) {
    const bool fresh = partKey != key || (offset == 0 && partBytes != 0);
    if (fresh) partKey = key, partBytes = 0;
    return fresh;
}

}  // namespace torvane::fiera
