#pragma once

#include <string>

// Replaces `target` with the path a shell shortcut file points at, in its short form, and answers
// true; false, leaving `target` alone, when the file is no shortcut or points at no file. Never
// shows a dialog; a search for a moved target gives up after `searchMs` milliseconds.
bool resolveShortcut(const std::wstring& shortcutPath, std::wstring& target, unsigned long searchMs);
