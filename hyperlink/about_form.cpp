#include "hyperlink/about_form.h"

#include "hyperlink/cursors.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace VeyHyperLink {

AboutForm::AboutForm(QWidget* parent)
    : QDialog(parent)
    , TitleLabel(new QLabel(QStringLiteral("Vey HyperLink ActiveX Control"), this))
    , MakerLabel(new QLabel(QStringLiteral("Version 1.0, the link label of HALVO"), this))
    , OKBut(new QPushButton(QStringLiteral("&OK"), this))
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral(" About VeyHyperLink ActiveX Control"));
    setWindowIcon(QIcon(toolboxBitmap()));

    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    QFont large = TitleLabel->font();
    large.setPointSizeF(large.pointSizeF() * 1.8);
    large.setBold(true);
    TitleLabel->setFont(large);
    MakerLabel->setObjectName(QStringLiteral("MakerLabel"));
    OKBut->setObjectName(QStringLiteral("OKBut"));
    OKBut->setDefault(true);
    connect(OKBut, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TitleLabel, 0, Qt::AlignHCenter);
    layout->addWidget(MakerLabel, 0, Qt::AlignHCenter);
    layout->addSpacing(12);
    layout->addWidget(OKBut, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace VeyHyperLink
