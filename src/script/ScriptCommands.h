#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/ui/Alert.h"
#include "script/ScriptSession.h"

namespace torvane::script {

// A command that cannot run as written (no such row, tag, button; bad arguments): the
// script's fault, exit 2. Raised by the commands and caught by the session.
struct ScriptFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One command of the script language. Every command is in the one table below, so the help,
// the runner and later screens' commands stay together.
struct ScriptCommand {
    std::string name;
    std::string arguments;  // for the help: "S R", "TAG TEXT"
    std::string help;
    int minArguments = 0;
    int maxArguments = 0;  // -1: any number
    // An action is something the person does: the alerts still open are closed first.
    bool isAction = true;
    std::function<CommandResult(ScriptSession&, const std::vector<std::string>& arguments)> run;
};

const std::vector<ScriptCommand>& scriptCommands();
const ScriptCommand* findScriptCommand(const std::string& name);
// The command list as `help` prints it.
std::string scriptHelp();

// The answer `answer BUTTON [FIELD...]` gives to this alert: the button by its title (blanks
// around it ignored, then case ignored) or by its index from 0, and the fields' texts.
ui::AlertAnswer alertAnswer(const ui::Alert& alert, const std::vector<std::string>& arguments);

}  // namespace torvane::script
