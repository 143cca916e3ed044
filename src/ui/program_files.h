// The program's own files (read-me, help pages, provider presets) and the
// web pages it opens. They come from the installed data folder only, never
// from the current folder, and only http and https addresses are opened.
#pragma once

#include <QString>
#include <QUrl>

namespace velnora::ui {

// The data folder: beside the program as installed (../share/velnora), else
// where the build installs it, else the source tree's for a program run
// from its build folder. Empty when none holds the read-me.
QString DataFolder();

// Where `name` ("readme.html", "help/help_08.html") is, or empty when the
// data folder does not hold it.
QString ProgramFilePath(const QString& name);

// Opens that file with the desktop's viewer; false when it is not there or
// nothing could show it.
bool OpenProgramFile(const QString& name);

// True for the web addresses the program may hand to the desktop.
bool IsWebAddress(const QUrl& url);

// The publisher's web page; empty when the build names none.
QUrl ProductPage();

// The history viewer beside the program, or empty when it is not there.
QString HistoryViewerPath();

}  // namespace velnora::ui
