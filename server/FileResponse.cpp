#include "FileResponse.h"

#include <microhttpd.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "HttpDate.h"

namespace torvane::fiera {

namespace {

// Several ranges as one multipart/byteranges body: the parts' headers and the file's bytes.
struct MultipartBody {
    struct Piece {
        std::string text;  // when not a range of the file
        ByteRange range{};
        bool fromFile = false;
        std::uint64_t length() const { return fromFile ? range.length() : text.size(); }
    };
    int fd = -1;
    std::vector<Piece> pieces;
    std::uint64_t total = 0;

    ~MultipartBody() { ::close(fd); }

    static ssize_t read(void* cls, uint64_t position, char* buffer, size_t room) {
        auto& body = *static_cast<MultipartBody*>(cls);
        if (position >= body.total) return MHD_CONTENT_READER_END_OF_STREAM;
        std::uint64_t start = 0;
        for (const Piece& piece : body.pieces) {
            if (position >= start + piece.length()) {
                start += piece.length();
                continue;
            }
            const std::uint64_t within = position - start;
            const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(room, piece.length() - within));
            if (!piece.fromFile) {
                std::copy_n(piece.text.data() + within, count, buffer);
                return static_cast<ssize_t>(count);
            }
            const ssize_t got = ::pread(body.fd, buffer, count, static_cast<off_t>(piece.range.first + within));
            return got > 0 ? got : MHD_CONTENT_READER_END_WITH_ERROR;
        }
        return MHD_CONTENT_READER_END_OF_STREAM;
    }
    static void release(void* cls) { delete static_cast<MultipartBody*>(cls); }
};

std::string rangeHeader(const ByteRange& range, std::uint64_t size) {
    return "bytes " + std::to_string(range.first) + "-" + std::to_string(range.last) + "/" + std::to_string(size);
}

}  // namespace

FileResponse FileResponse::build(const Representation& chosen, const FileRequest& request) {
    FileResponse answer;
    // A modification time in the future is not announced as such.
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    const std::time_t modified = std::min(chosen.modified, now);
    auto validators = [&](MHD_Response* response) {
        MHD_add_response_header(response, "ETag", chosen.etag.c_str());
        MHD_add_response_header(response, "Last-Modified", HttpDate::format(modified).c_str());
        MHD_add_response_header(response, "Accept-Ranges", "bytes");
        if (chosen.varies) MHD_add_response_header(response, "Vary", "Accept-Encoding");
        if (chosen.gzipped) MHD_add_response_header(response, "Content-Encoding", "gzip");
        return response;
    };
    if (FileConditions::notModified(request, chosen.etag, modified)) {
        ::close(chosen.fd);
        answer.status = 304;
        answer.response = validators(MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT));
        return answer;
    }
    ByteRanges::Selection selection = FileConditions::ranges(request, chosen.etag, modified, chosen.size);
    if (selection.kind == ByteRanges::Kind::Unsatisfiable) {
        ::close(chosen.fd);
        static const std::string text = "Errore: intervallo oltre la fine del file\n";
        answer.status = 416;
        answer.bytes = text.size();
        answer.response =
            MHD_create_response_from_buffer(text.size(), const_cast<char*>(text.data()), MHD_RESPMEM_PERSISTENT);
        MHD_add_response_header(answer.response, "Content-Type", "text/plain; charset=utf-8");
        MHD_add_response_header(answer.response, "Content-Range", ("bytes */" + std::to_string(chosen.size)).c_str());
        return answer;
    }
    if (selection.kind == ByteRanges::Kind::Partial && selection.ranges.size() > 1) {
        auto* body = new MultipartBody;
        body->fd = chosen.fd;
        const std::string boundary =
            "TORVANE-PARTI-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
        for (const ByteRange& range : selection.ranges) {
            body->pieces.push_back({"\r\n--" + boundary + "\r\nContent-Type: " + chosen.contentType +
                                    "\r\nContent-Range: " + rangeHeader(range, chosen.size) + "\r\n\r\n"});
            body->pieces.push_back({{}, range, true});
        }
        body->pieces.push_back({"\r\n--" + boundary + "--\r\n"});
        for (const auto& piece : body->pieces) body->total += piece.length();
        // Never more bytes than the whole file: then the whole file it is.
        if (body->total <= chosen.size) {
            answer.status = 206;
            answer.bytes = body->total;
            answer.contentRange = std::to_string(selection.ranges.size()) + " intervalli";
            answer.response = validators(MHD_create_response_from_callback(body->total, 64 * 1024, &MultipartBody::read,
                                                                           body, &MultipartBody::release));
            MHD_add_response_header(answer.response, "Content-Type",
                                    ("multipart/byteranges; boundary=" + boundary).c_str());
            return answer;
        }
        body->fd = -1;  // still the caller's
        delete body;
        selection = {};
    }
    ByteRange whole{0, chosen.size == 0 ? 0 : chosen.size - 1};
    const ByteRange sent = selection.kind == ByteRanges::Kind::Partial ? selection.ranges.front() : whole;
    answer.bytes = chosen.size == 0 ? 0 : sent.length();
    answer.response = validators(MHD_create_response_from_fd_at_offset64(answer.bytes, chosen.fd, sent.first));
    MHD_add_response_header(answer.response, "Content-Type", chosen.contentType.c_str());
    if (selection.kind == ByteRanges::Kind::Partial) {
        answer.status = 206;
        answer.contentRange = rangeHeader(sent, chosen.size);
        MHD_add_response_header(answer.response, "Content-Range", answer.contentRange.c_str());
    }
    return answer;
}

}  // namespace torvane::fiera
