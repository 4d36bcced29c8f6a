#pragma once
// Files the program keeps in its program folder under fixed names. The help file has one form
// of its name for everyone who reads or writes it: on a file system that tells letter case
// apart, two spellings would be two files.

#include <QDir>
#include <QString>

namespace halvo {

inline const QString HelpFileName = QStringLiteral("HALVOHelp.hlp");

inline QString helpFilePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(HelpFileName);
}

} // namespace halvo
