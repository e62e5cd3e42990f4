// Where the help pages are. Looked for once, on the first help request.
#pragma once

#include <QString>
#include <QStringList>

namespace tonvale {

// The page the help opens at.
inline constexpr char kHelpStartPage[] = "default.htm";

// Folders that may hold the pages, in the order they are tried:
//  1. "help" beside the executable (a portable copy);
//  2. the source tree's help/, when the executable lies in its build tree;
//  3. share/tonvale/help next to the executable's bin folder (a moved install);
//  4. the data folder the program was installed with.
// The Chinese pages are in these folders, each other language's in a
// sub-folder named after it ("en"), given as `language_folder`.
QStringList HelpFolderCandidates(const QString& language_folder = QString());

// The first of `candidates` holding the start page, or an empty string.
QString FindHelpFolder(const QStringList& candidates);
QString FindHelpFolder();

}  // namespace tonvale
