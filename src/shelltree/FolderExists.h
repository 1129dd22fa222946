// FolderExists: whether a path names an existing folder. The setup pages use it;
// the shell tree has a quiet variant that keeps empty drives from asking the user.
#pragma once

#include <string>

bool FolderExists(const std::string& Path);
