#pragma once
// Parts of the program that are loaded the first time they are needed, not at start-up. Reading
// OFX files (libofx, with OpenSP below it) and drawing PDF pages (Poppler, with NSS, OpenJPEG and
// LCMS below it) bring some thirty libraries that the dynamic linker would otherwise map and bind
// before the login could show, for windows most starts never open. Each such part is a library
// of the program's own (a CMake MODULE) that exports one function with C linkage; the rest of the
// program reaches it only through that function.
//
// A part is looked for beside the running program first (the program folder of a portable
// install, and the build tree, where tests and benchmarks run), then in the private library
// folder of a system install, HALVO_LATE_PART_FOLDER relative to the program. A part once loaded
// stays loaded until the program ends.

#include "core/result.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>

namespace halvo {

// The function `function` of the part `part` ("halvo_ofx" for libhalvo_ofx.so), or why it cannot
// be had, in words for the user who tried to open a file.
template <class Function>
Result<Function*> latePart(const QString& part, const char* function)
{
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList folders{program.path()};
#ifdef HALVO_LATE_PART_FOLDER
    folders << QDir::cleanPath(program.filePath(QStringLiteral(HALVO_LATE_PART_FOLDER)));
#endif
    const QString fileName = QStringLiteral("lib%1.so").arg(part);
    QString why;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(fileName);
        if (!QFile::exists(path))
            continue;
        QLibrary library(path);
        if (!library.load()) {
            why = library.errorString();
            break;
        }
        if (QFunctionPointer found = library.resolve(function))
            return reinterpret_cast<Function*>(found);
        why = library.errorString();
        break;
    }
    if (why.isEmpty())
        why = QStringLiteral("it is in none of the folders %1").arg(folders.join(QStringLiteral(", ")));
    return Error{QStringLiteral("A part of HALVO, \"%1\", cannot be loaded: %2. Installing HALVO "
                                "again puts it back.")
                     .arg(fileName, why)};
}

} // namespace halvo
