// The save dialog the controller asks for when it sends a file: a small modal
// window with a path field, Save and Cancel.
#pragma once

#include <string>

// "<sHome>/untitled.<sExt>" (no extension when sExt is empty); the current
// directory stands in for an empty home.
std::string LxDefaultSavePath(const std::string& sExt, const std::string& sHome);
// The path with ".<sExt>" appended unless it already ends so (letter case
// ignored); an empty extension leaves it as it is.
std::string LxSavePathWithExt(const std::string& sPath, const std::string& sExt);
// "file://" and the absolute path (a relative one is taken from the current
// directory). The path is not percent-encoded: the engine strips the prefix
// and opens the rest as it stands.
std::string LxPathToFileURL(const std::string& sPath);

// Shows the dialog on the calling thread (the interface thread, with the video
// subsystem running) and blocks until the user decides. 1 with the chosen path
// (extension enforced) in *pPath on Save; 0 on Cancel, Escape or close.
// A quit request seen meanwhile cancels and is put back for the main loop.
int LxRunSavePrompt(const std::string& sExt, std::string* pPath);
