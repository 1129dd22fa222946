// Files, folders and processes as the setup runs use them, over Win32: whether an
// entry exists, making a folder with the folders above it, and starting a program.
#pragma once

#include <windows.h>

#include <string>

#include "gui/handles.h"

// Any entry by that name: a file, a folder or a link.
bool PathExists(const std::string& Path);
bool FileExists(const std::string& Path);  // a file, not a folder
bool DirectoryExists(const std::string& Path);

// Creates Path and every missing folder above it; failures are left to the steps after.
void ForceDirectories(const std::string& Path);

// Starts CommandLine with the window state Show (SW_HIDE, SW_SHOWDEFAULT, ...) in
// Folder (empty: ours). The process's handle, or an empty one when it could not be
// started; closing it does not stop the program.
TKernelHandle StartProcess(const std::string& CommandLine, WORD Show, const std::string& Folder = "");
