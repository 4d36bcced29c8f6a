#pragma once
// What the editor tests share: a fresh database, scripted answers to message boxes, and the
// editors made by name as the main window makes them.

#include "editors/category_editor.h"
#include "editors/insurance_editor.h"
#include "editors/loan_editor.h"
#include "editors/note_editor.h"
#include "controls/pickers.h"
#include "editors/property_editor.h"
#include "editors/tenant_editor.h"
#include "editors/vendor_editor.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "tests/support/temp_database.h"

#include <QLineEdit>
#include <QTest>
#include <memory>

namespace halvo::test {

// Message boxes answered by the test for as long as it lives.
struct ScriptedSession {
    ScriptedSession() { setPrompts(&prompts); }
    ~ScriptedSession() { setPrompts(nullptr); }
    ScriptedPrompts prompts;
};

inline std::unique_ptr<RecordEditor> makeEditor(const QString& name, const QString& folder)
{
    std::unique_ptr<RecordEditor> editor;
    if (name == QLatin1String("frmVendor"))
        editor = std::make_unique<frmVendor>(folder);
    else if (name == QLatin1String("frmCategory"))
        editor = std::make_unique<frmCategory>(folder);
    else if (name == QLatin1String("frmLoan"))
        editor = std::make_unique<frmLoan>(folder);
    else if (name == QLatin1String("frmTenant"))
        editor = std::make_unique<frmTenant>(folder);
    else if (name == QLatin1String("frmInsurance"))
        editor = std::make_unique<frmInsurance>(folder);
    else if (name == QLatin1String("frmNote"))
        editor = std::make_unique<frmNote>(folder);
    else
        editor = std::make_unique<frmProperty>(Folders::portableAt(folder));
    editor->setAttribute(Qt::WA_DeleteOnClose, false); // the test owns it
    editor->resize(900, 500);
    editor->show();
    return editor;
}

// Types into a box as a user would.
inline void type(RecordEditor& editor, const QString& control, const QString& text)
{
    QLineEdit* box = editor.box(control);
    QVERIFY2(box, qPrintable(control));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

// Chooses a picker's entry as a user would, from its list.
inline void choose(RecordEditor& editor, const QString& control, const QString& entry)
{
    Picker* list = editor.picker(control);
    QVERIFY2(list, qPrintable(control));
    const int index = list->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

// Fills a field as a user would: chooses a picker's entry, types into a box.
inline void fill(RecordEditor& editor, const QString& control, const QString& value)
{
    if (editor.picker(control))
        choose(editor, control, value);
    else
        type(editor, control, value);
}

inline void press(RecordEditor& editor, const QString& command)
{
    VeyHyperLinkLabel* link = editor.link(command);
    QVERIFY2(link, qPrintable(command));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
}

inline qlonglong count(const Connection& c, const QString& table)
{
    return c.scalar(QStringLiteral("SELECT count(*) FROM ") + table).value().toLongLong();
}

} // namespace halvo::test
