#pragma once
// Every statement the program sends. Where a user's choice goes into a statement (a property's
// nickname, a category, a year) it is a bound parameter, marked "?": a value with a quote in it
// is then just a value. The year parameters take Dates::yearPattern(year).

#include <QString>

namespace halvo::Statements {

// The portfolio summary's totals.
inline const QString SumMarketValue = QStringLiteral("SELECT SUM(Value) AS strMortValue FROM tblLoan");
inline const QString SumLoanBalance = QStringLiteral("SELECT SUM(LoanAmt) AS strLoanAmt FROM tblLoan");
inline const QString SumMortgage = QStringLiteral("SELECT SUM(Mortgage) AS strMortAmt FROM tblLoan");
inline const QString SumPremiums =
    QStringLiteral("SELECT SUM(HomeOwnersIns) AS strIns FROM tblInsurance");
inline const QString SumDeposits = QStringLiteral("SELECT SUM(DepAmt) AS SecurityDep FROM tblTenant");
inline const QString SumManagementFees =
    QStringLiteral("SELECT SUM(ManagementFee) AS MangFee FROM tblTenant");
inline const QString SumMonthlyRents =
    QStringLiteral("SELECT SUM(MonthlyRentAmt) AS MonthlyRent FROM tblTenant");
// Each table's totals in one pass; when that fails (a column is missing), the summary falls back
// on the statements above, one total at a time.
inline const QString LoanTotals =
    QStringLiteral("SELECT SUM(Value), SUM(LoanAmt), SUM(Mortgage) FROM tblLoan");
inline const QString TenantTotals =
    QStringLiteral("SELECT SUM(DepAmt), SUM(ManagementFee), SUM(MonthlyRentAmt) FROM tblTenant");
// The current year's income and expense in one pass over the year's stretch of the index on
// (RecDate, Income, Expense). Its parameters are the stored forms of the year's first day and
// the next year's first day: dates are written only in the stored form, so the range holds
// exactly the year's dates; an empty date sorts before every year and a NULL matches nothing.
inline const QString YearLedgerTotals = QStringLiteral(
    "SELECT SUM(Income), SUM(Expense) FROM tblFinance WHERE RecDate >= ? AND RecDate < ?");
// Every row's date and amounts, for the same totals found the long way.
inline const QString LedgerDatesAndAmounts =
    QStringLiteral("SELECT RecDate, Income, Expense FROM tblFinance");

// Tables opened by name.
inline const QString LedgerTable = QStringLiteral("tblFinance");
inline const QString UserTable = QStringLiteral("tblUser");
inline const QString CategoryTable = QStringLiteral("tblCategory");

// Record sets of the editors and pickers.
inline const QString PropertiesByNickname =
    QStringLiteral("SELECT * FROM tblBuilding ORDER BY BldNickName ASC");
inline const QString PropertiesByOwner =
    QStringLiteral("SELECT * FROM tblBuilding ORDER BY BldLastName ASC");
inline const QString AllProperties = QStringLiteral("SELECT * FROM tblBuilding");
inline const QString TenantsByNickname =
    QStringLiteral("SELECT * FROM tblTenant ORDER BY Nickname ASC");
inline const QString LoansByNickname = QStringLiteral("SELECT * FROM tblLoan ORDER BY NickName ASC");
inline const QString PoliciesByNickname =
    QStringLiteral("SELECT * FROM tblInsurance ORDER BY NickName ASC");
inline const QString VendorsByCompany =
    QStringLiteral("SELECT * FROM tblVendor ORDER BY Company ASC");
inline const QString CategoriesByIncome =
    QStringLiteral("SELECT * FROM tblCategory ORDER BY Income ASC");
inline const QString CategoriesByExpense =
    QStringLiteral("SELECT * FROM tblCategory ORDER BY Expense ASC");
inline const QString AllCategories = QStringLiteral("SELECT * FROM tblCategory");
inline const QString IncomeRows = QStringLiteral("SELECT * FROM tblFinance WHERE Income <> 0");
inline const QString ExpenseRows = QStringLiteral("SELECT * FROM tblFinance WHERE Expense <> 0 ");
inline const QString AssetsByNickname =
    QStringLiteral("SELECT * FROM tblAsset ORDER BY NickName ASC, InService ASC");
inline const QString AllNotes = QStringLiteral("SELECT * FROM tblNotes");
inline const QString NotesInOrder = QStringLiteral("SELECT * FROM tblNotes ORDER BY ID ASC");
inline const QString NotesOfProperty = QStringLiteral("SELECT * FROM tblNotes WHERE NickName = ?");

// Reports: the ledger and the notes of a year, for all properties, one property or one category.
inline const QString LedgerOfYear = QStringLiteral(
    "select * From tblFinance Where RecDate Like ? Order By RecDate ASC");
inline const QString LedgerOfPropertyAndYear = QStringLiteral(
    "select * From tblFinance  Where Nickname = ? AND RecDate Like ? Order By RecDate ASC");
inline const QString LedgerOfCategoryAndYear = QStringLiteral(
    "select * From tblFinance  Where Category = ? AND RecDate Like ? Order By RecDate ASC");
inline const QString NotesOfYear =
    QStringLiteral("select * From tblNotes Where NoteDate Like ? Order By ID ASC");
inline const QString NotesOfPropertyAndYear = QStringLiteral(
    "select * From tblNotes  Where Nickname = ? AND NoteDate Like ? Order By ID ASC");

} // namespace halvo::Statements
