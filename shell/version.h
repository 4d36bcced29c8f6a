#pragma once
// The program's version, taken from the build (the project's version in CMake).

#include <QString>

namespace halvo {

struct ProgramVersion {
    int major = HALVO_VERSION_MAJOR;
    int minor = HALVO_VERSION_MINOR;
    int revision = HALVO_VERSION_PATCH;

    // "1.0.8": each part a plain whole number without leading zeros.
    QString text() const
    {
        return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
    }
};

inline const QString ProductFullName = QStringLiteral("Corvane Homes And Leases Valuation Organizer ");
inline const QString MakerName = QStringLiteral("Corvane Software");
inline const QString MakerWebAddress = QStringLiteral("https://www.corvane.example/halvo");

} // namespace halvo
