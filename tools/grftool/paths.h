// Path pieces the tool needs for the files it writes.
#pragma once

#include <string>

// The folder part of a path: "." without a slash, "/" for a file at the root.
std::string folderOf(const std::string& sPath);
// The part after the last slash.
std::string baseNameOf(const std::string& sPath);
// The absolute path with every link resolved; empty when it doesn't exist.
std::string realPathOf(const std::string& sPath);
