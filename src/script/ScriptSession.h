#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/ScriptUi.h"

namespace torvane {
class AppDelegate;
class TestScannerSource;
}  // namespace torvane

namespace torvane::script {

// Where a script's lines come from: a file, standard input, a terminal. Prompts read their
// answer from the same source, so it is shared by the runner and the session.
class LineSource {
public:
    virtual ~LineSource() = default;
    // The next line; none at the end.
    virtual std::optional<std::string> next() = 0;
    // The number of the line last read, from 1.
    virtual int number() const = 0;
};

// What one command came to.
struct CommandResult {
    enum Kind { Done = 0, Failed = 1, ScriptError = 2 };
    Kind kind = Done;
    std::string message;  // why it failed, for the person running the script
};

// The application started as `torvane` starts it, on a `ScriptUi`, with the sled reading
// the script's scans. Runs one command at a time and settles the main thread after each.
class ScriptSession {
public:
    using Print = std::function<void(const std::string&)>;

    // In a shell a prompt that gets something else than `answer` asks again; in a script it
    // is a script error.
    ScriptSession(Print print, LineSource& lines, bool promptsAskAgain);
    ~ScriptSession();
    ScriptSession(const ScriptSession&) = delete;
    ScriptSession& operator=(const ScriptSession&) = delete;

    // The delegate's launch: preferences, the store check, the three tabs.
    void launch();

    // Splits and runs one line; blank lines and comments do nothing.
    CommandResult runLine(const std::string& line);
    CommandResult run(const std::vector<std::string>& words);

    // After the last line: an alert nobody answered is a script error.
    CommandResult finish();

    // A front end's own commands (the window's "shot"), tried before the table; none: not one
    // of them. And what it does after every command (the window draws itself again).
    using ExtraCommands = std::function<std::optional<CommandResult>(const std::vector<std::string>& words)>;
    void setExtraCommands(ExtraCommands extra) { extra_ = std::move(extra); }
    void setAfterCommand(std::function<void()> after) { afterCommand_ = std::move(after); }

    ScriptUi& ui() { return ui_; }
    TestScannerSource& scanner() { return *scanner_; }
    void print(const std::string& line) const { print_(line); }

    // Answers every open alert with its first button, saying so: the person moved on.
    void closeOpenAlerts();

private:
    std::optional<ui::AlertAnswer> answerPrompt(const ui::Alert& alert);

    Print print_;
    LineSource& lines_;
    bool promptsAskAgain_;
    ScriptUi ui_;
    std::unique_ptr<AppDelegate> delegate_;
    TestScannerSource* scanner_ = nullptr;
    // A prompt that could not be answered, reported when the command that raised it returns.
    std::optional<std::string> promptError_;
    ExtraCommands extra_;
    std::function<void()> afterCommand_;
};

}  // namespace torvane::script
