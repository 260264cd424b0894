#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "script/ScriptSession.h"

namespace torvane::script {

// Lines read from a stream (a file, standard input, a terminal). `beforeRead` runs before
// each read: the shell prints its prompt there.
class StreamLineSource final : public LineSource {
public:
    explicit StreamLineSource(std::istream& in, std::function<void()> beforeRead = {})
        : in_(in), beforeRead_(std::move(beforeRead)) {}
    std::optional<std::string> next() override;
    int number() const override { return number_; }

private:
    std::istream& in_;
    std::function<void()> beforeRead_;
    int number_ = 0;
};

// Runs the application under a script: every line a command, the first failure ends it.
// Exit status: 0 every line ran and every expectation held; 1 an expectation failed; 2 a script
// error. Problems go to `err` with their line number.
class ScriptRunner {
public:
    using Print = ScriptSession::Print;

    // `prepare` sees the session once the application has started (a window mirrors it);
    // what it returns is kept until the end of the script and released before the session.
    using Prepare = std::function<std::shared_ptr<void>(ScriptSession&)>;
    static int runScript(LineSource& lines, const Print& out, const Print& err, const Prepare& prepare = {});
    // The same commands typed one by one: a problem is printed and the shell goes on.
    static int runShell(LineSource& lines, const Print& out);
};

}  // namespace torvane::script
