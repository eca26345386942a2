#pragma once

#include <string>
#include <vector>

class DropFileList;

// The names a receiver gets for a dropped file list: each shortcut replaced by its target, and
// each name exact in the system code page, in its short form where only that is exact. A name
// that cannot be given exactly is left out.
std::vector<std::string> droppedFileNames(const DropFileList& list);
// The same in the code page given, so that a system code page other than this machine's can be tried.
std::vector<std::string> droppedFileNames(const DropFileList& list, unsigned codePage);
