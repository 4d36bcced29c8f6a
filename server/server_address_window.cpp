#include "server_address_window.h"

#include "platform/prompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace halvo {

namespace {

template <class Field>
Field* addField(QFormLayout* form, const QString& label, const char* name, Field* field)
{
    field->setObjectName(QLatin1String(name));
    auto* caption = new QLabel(label);
    caption->setBuddy(field);
    field->setAccessibleName(QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    form->addRow(caption, field);
    return field;
}

} // namespace

frmServerAddress::frmServerAddress(const QString& caption, std::function<void(QWidget*)> help,
                                   QWidget* parent)
    : QDialog(parent), help(std::move(help))
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("frmServerAddress"));
    setProperty("helpTopic", QStringLiteral("movebooks"));
    auto* form = new QFormLayout;
    txtHost = addField(form, tr("&Server:"), "txtHost", new QLineEdit);
    txtHost->setPlaceholderText(tr("name or address; empty: this computer"));
    txtPort = addField(form, tr("P&ort:"), "txtPort", new QSpinBox);
    txtPort->setRange(1, 65535);
    txtPort->setValue(5432);
    txtDatabase = addField(form, tr("&Database:"), "txtDatabase", new QLineEdit);
    txtUser = addField(form, tr("&User name:"), "txtUser", new QLineEdit);
    txtPassword = addField(form, tr("&Password:"), "txtPassword", new QLineEdit);
    txtPassword->setEchoMode(QLineEdit::Password);

    auto* buttons =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this, [this] {
        if (this->help)
            this->help(this);
    });
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, buttons, &QDialogButtonBox::helpRequested);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

ServerPlace frmServerAddress::place() const
{
    ServerPlace p;
    p.address.host = txtHost->text().trimmed();
    p.address.port = txtPort->value();
    p.address.database = txtDatabase->text().trimmed();
    p.address.user = txtUser->text().trimmed();
    p.password = txtPassword->text();
    return p;
}

void frmServerAddress::accept()
{
    if (txtDatabase->text().trimmed().isEmpty()) {
        prompts().message(this, tr("Enter the name of the database that keeps the shared books."));
        txtDatabase->setFocus();
        return;
    }
    QDialog::accept();
}

std::optional<ServerPlace> askServerPlace(QWidget* parent, const QString& caption,
                                          std::function<void(QWidget*)> help)
{
    frmServerAddress window(caption, std::move(help), parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.place();
}

} // namespace halvo
