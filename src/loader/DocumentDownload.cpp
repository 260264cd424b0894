#include "loader/DocumentDownload.h"

#include <charconv>

#include "loader/PartialDocument.h"
#include "platform/Format.h"
#include "platform/Log.h"

namespace torvane {

namespace {

bool isIdentity(const std::string& encoding) { return encoding.empty() || encoding == "identity"; }

// "bytes FIRST-LAST/TOTAL" (TOTAL may be "*").
struct ContentRange {
    long long first = 0, last = 0;
    std::optional<long long> total;
};

std::optional<long long> number(std::string_view text) {
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 0) return std::nullopt;
    return value;
}

std::optional<ContentRange> contentRange(std::string_view text) {
    if (text.rfind("bytes ", 0) != 0) return std::nullopt;
    text.remove_prefix(6);
    const auto dash = text.find('-'), slash = text.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || dash > slash) return std::nullopt;
    auto first = number(text.substr(0, dash)), last = number(text.substr(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first) return std::nullopt;
    ContentRange range{*first, *last, std::nullopt};
    if (text.substr(slash + 1) != "*") {
        range.total = number(text.substr(slash + 1));
        if (!range.total || range.last >= *range.total) return std::nullopt;
    }
    return range;
}

}  // namespace

// What one request learnt while its answer arrived.
struct DocumentDownload::Attempt {
    std::optional<PartialDocument::Resumable> resuming;
    bool conditional = false;
    bool started = false;
    bool startAgain = false;  // the answer cannot continue what is here: from zero, once
    std::string refusal;
    std::optional<long long> total;  // the whole document's size, when a range named it
};

DocumentDownload::DocumentDownload(std::string url, std::chrono::milliseconds timeout)
    : url_(std::move(url)), timeout_(timeout) {}

DocumentDownload::Result DocumentDownload::run(const std::optional<DocumentValidators>& loaded) {
    PartialDocument partial(url_);
    // A second request only when the first could not continue the partial document.
    for (int i = 0; i < 2; ++i)
        if (auto result = attempt(loaded, i == 0, partial)) return *std::move(result);
    partial.discard();
    return Result{Result::Kind::Failed, {}, "il server non ha dato il documento intero", std::nullopt, false};
}

std::optional<DocumentDownload::Result> DocumentDownload::attempt(const std::optional<DocumentValidators>& loaded,
                                                                  bool mayResume, PartialDocument& partial) {
    Attempt state;
    if (mayResume) state.resuming = partial.resumable();
    if (!state.resuming) partial.discard();

    Http::Download request;
    request.url = url_;
    request.timeout = timeout_;
    request.headers = {"Cache-Control: no-cache"};
    const long long offset = state.resuming ? state.resuming->size : 0;
    if (state.resuming) {
        // The rest of the plain document, only if it is still the same version.
        request.compressed = false;
        request.headers.push_back(format("Range: bytes=%d-", offset));
        request.headers.push_back("If-Range: " + state.resuming->ifRange);
        request.mostBytes = Http::kMostBodyBytes - static_cast<std::uint64_t>(offset);
    } else if (loaded) {
        state.conditional = true;
        for (const std::string& header : loaded->conditionalHeaders()) request.headers.push_back(header);
    }
    long long counted = 0;  // bytes kept from before, once the server agreed to continue them
    request.onAnswer = [&](long status, const HttpResponse& answer) {
        state.started = true;
        const std::string encoding = answer.header("content-encoding");
        if (status == 200) {
            PartialDocument::Version version{DocumentValidators::of(answer).value_or(DocumentValidators{}),
                                             !isIdentity(encoding)};
            if (!partial.restart(version)) state.refusal = "documento parziale non scrivibile";
            return state.refusal.empty();
        }
        if (status != 206) return false;
        auto range = contentRange(answer.header("content-range"));
        auto version = DocumentValidators::of(answer);
        if (!state.resuming) {
            state.refusal = "risposta parziale non richiesta";
        } else if (!range || range->first != offset || !isIdentity(encoding)) {
            state.startAgain = true;
            Log::f("Ripresa del download rifiutata: Content-Range '%@'", answer.header("content-range"));
        } else if (version && !version->sameVersionAs(state.resuming->version.validators,
                                                       !state.resuming->version.compressed)) {
            state.startAgain = true;
            Log::line("Ripresa del download rifiutata: il documento e' cambiato");
        } else if (!partial.reopen()) {
            state.refusal = "documento parziale non scrivibile";
        } else {
            state.total = range->total;
            counted = offset;
            return true;
        }
        return false;
    };
    request.onBody = [&partial](std::string_view piece) { return partial.append(piece); };
    if (progress_)
        request.onProgress = [this, &counted](HttpProgress progress) {
            progress.received += counted;
            if (progress.total) *progress.total += counted;
            progress_(progress);
        };

    HttpResponse answer = Http::download(request);
    auto failed = [&](std::string error) {
        return Result{Result::Kind::Failed, {}, std::move(error), std::nullopt, false};
    };
    if (state.startAgain || (state.resuming && answer.status == 416)) {
        partial.discard();
        return std::nullopt;
    }
    if (!state.refusal.empty()) {
        partial.discard();
        return failed(state.refusal);
    }
    if (answer.status == 304 && answer.data) {
        if (state.conditional) return Result{Result::Kind::Unchanged, {}, {}, loaded, false};
        partial.discard();
        return failed("risposta 304 non richiesta");
    }
    if (!answer.data) {
        // A cut answer is kept for the next run when its version can be asked for again.
        if (!(answer.cut && partial.resumable())) partial.discard();
        return failed(answer.status >= 300 ? format("%@ (HTTP %d)", answer.error.empty() ? std::string("risposta non valida") : answer.error,
                                                    static_cast<long long>(answer.status))
                                           : answer.error);
    }
    if (answer.status == 200 && !state.started) partial.restart({});  // an empty document
    if (answer.status != 200 && answer.status != 206) {
        partial.discard();
        return failed(format("risposta non valida (HTTP %d)", static_cast<long long>(answer.status)));
    }
    if (state.total && partial.size() != *state.total) {
        partial.discard();
        return failed("documento ripreso di lunghezza errata");
    }
    Result result;
    result.resumed = answer.status == 206;
    result.validators = result.resumed ? std::optional(state.resuming->version.validators) : DocumentValidators::of(answer);
    if (result.validators && result.validators->etag.empty() && result.validators->lastModified.empty())
        result.validators.reset();
    auto bytes = partial.take();
    if (!bytes) return failed("documento scaricato non leggibile");
    result.kind = Result::Kind::Downloaded;
    result.bytes = std::move(*bytes);
    return result;
}

}  // namespace torvane
