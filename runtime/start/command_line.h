// The argument text of a command line: what follows the program's name.
#pragma once

namespace runtime {

// Skips the program name — up to and including the closing quote when the line starts with a
// quote (to the end when there is none), otherwise up to the first blank or control character —
// and then every blank after it. Points into `commandLine`.
const wchar_t* argumentText(const wchar_t* commandLine);

}  // namespace runtime
