// The files the page holds for the program, which has no file system on the web: what the page
// fetched from its server or read from a file the player chose, by the name the program opens.
#pragma once

#include <optional>
#include <string>

namespace runtime::files {

// Holds `bytes` under `name`, in place of what was held there; no bytes holds a file that is there
// but cannot be read. A file already open keeps reading what was held when it was opened.
void holdFile(const std::string& name, std::optional<std::string> bytes);
// Takes the file away: it is not there any more.
void dropFile(const std::string& name);

}  // namespace runtime::files
