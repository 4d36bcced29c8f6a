#pragma once
// frmTenant: tenants and their leases, with the property they rent, the management company and
// the monthly management fee worked out from the rent and the company's percentage.

#include "data/money.h"
#include "editors/record_editor.h"

#include <optional>

namespace halvo {

class frmTenant : public RecordEditor {
    Q_OBJECT
public:
    explicit frmTenant(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

    // The monthly fee for a rent ("$1,200.00", currency sign and thousands separators allowed)
    // and a percentage ("10"); nothing when either is empty or not a number.
    static std::optional<Money> managementFee(const QString& rent, const QString& percent);

public slots:
    void cmdAddMgntCompany_Click();

protected:
    void afterRefresh() override;
    void recordShown() override;
    void fieldEdited(const QString& control) override;

private:
    void showRentalAddress();
    void showManagementFee();
};

} // namespace halvo
