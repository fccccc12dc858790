#pragma once

#include <QString>

namespace Pw {

// `pixwright --help`: the list of commands on standard output; answers 0.
int PrintCommandList();
// A word that names no command: says so and lists the commands on standard error; answers 2.
int UnknownCommand(const QString &word);
// `pixwright FOLDER` or `pixwright FILE...` without a display: says the wizard cannot open
// them; answers 2.
int SayNoDisplayForWizard();
// Said before `pixwright` without arguments and without a display runs the demo batch.
void SayNoDisplay();

} // namespace Pw
