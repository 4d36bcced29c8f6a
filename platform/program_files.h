#pragma once
// Files the program keeps among its own files (the program folder of Folders) under fixed
// names. The help file has one form of its name for everyone who reads or writes it: on a file
// system that tells letter case apart, two spellings would be two files.

#include <QDir>
#include <QString>

namespace halvo {

inline const QString HelpFileName = QStringLiteral("HALVOHelp.hlp");
inline const QString DefaultPictureName = QStringLiteral("default_prop.jpg");

inline QString helpFilePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(HelpFileName);
}

// The picture a property without one of its own shows.
inline QString defaultPicturePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(DefaultPictureName);
}

} // namespace halvo
