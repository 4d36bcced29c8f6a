#pragma once
// The about box: the program's title, version and description, the maker's web site and the
// system-information command.

#include "platform/registry.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class VeyHyperLinkLabel;

namespace halvo {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lbltitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* Image2 = nullptr;
    VeyHyperLinkLabel* QuenHyperLink = nullptr;
    VeyHyperLinkLabel* OK = nullptr;
    VeyHyperLinkLabel* SystemInfo = nullptr;

    // Reads a value from the registry stand-in into `value`: text as it is, a 32-bit number as
    // its decimal text. A value that does not fit in 1024 bytes counts as not found.
    static bool GetKeyValue(Registry::Root root, const QString& keyName, const QString& valueName,
                            QString& value);
    // Finds the system-information program and starts it without waiting; tells the user
    // when there is none.
    void StartSysInfo();

    // The system-information programs of this platform, tried in order when the registry
    // stand-in names none. Tests replace the list.
    static QStringList systemInfoPrograms;

public slots:
    void OK_Click();
    void SystemInfo_Click();

private:
    QString systemInfoPath() const;
};

} // namespace halvo
