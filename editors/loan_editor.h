#pragma once
// frmLoan: mortgage loans, with the property's market value and the equity worked out from it.

#include "editors/record_editor.h"

namespace halvo {

class frmLoan : public RecordEditor {
    Q_OBJECT
public:
    explicit frmLoan(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

    // Market value minus loan balance, as the two boxes show them; nothing when either box does
    // not hold an amount (an empty box is not taken as 0).
    static std::optional<Money> equity(const QString& marketValue, const QString& balance);

protected:
    void prepareSave() override;
    void recordShown() override;
    void fieldEdited(const QString& control) override;

private:
    void showEquity();
};

} // namespace halvo
