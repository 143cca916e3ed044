// Names and lifetime of the temporary files through which a message passes:
// "$vnrmail<n>.vnr" holds a received message (n from 1), "$vnrdiv<n>.vnr" an
// outgoing part (n from 0), both in one temporary folder.
#pragma once

#include <string>
#include <string_view>

namespace velnora {

struct CommonSettings;

// The folder for temporary files, ending in "/": the current folder with
// tempInCurrentFolder, else a folder of the user's private temporary folder
// that belongs to `settingsFolder`, so that two runs on different settings
// never share received files. Empty when no private folder can be had.
std::string TempFileFolder(const CommonSettings& common, std::string_view settingsFolder = {});

std::string ReceivedMailPath(std::string_view folder, int messageNumber);
std::string OutgoingPartPath(std::string_view folder, int partNumber);

// Removes a temporary file; true when it is gone (or was never there).
bool RemoveTempFile(const std::string& path);

}  // namespace velnora
