#pragma once

#include <QDialog>
#include <memory>
#include <string>

class QDateEdit;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace telvora {

class CBillQuery;
class CServiceClient;
class CServiceTask;
struct BillReport;
struct CSession;
struct DateTime;
class Prompter;

// "帐单查询": the account's day-by-day consumption between two recent days.
class CQueryBillDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CQueryBillDlg)

public:
    // account is the parameter "Account"; now fixes the days that may be picked.
    CQueryBillDlg(Prompter& prompter, CServiceClient& service, const CSession& session, const std::string& account,
        const DateTime& now, QWidget* parent = nullptr);
    ~CQueryBillDlg() override;

    QDateEdit* startEdit() const { return m_start; }
    QDateEdit* endEdit() const { return m_end; }
    QTreeWidget* billList() const { return m_list; }
    QLabel* companyLabel() const { return m_company; }
    QLabel* totalLabel() const { return m_total; }
    QPushButton* exportButton() const { return m_export; }
    bool isBusy() const;

signals:
    void callFinished();

public slots:
    void onQueryClicked();
    void onExportClicked();

private:
    void onQueried(bool ok);

    Prompter& m_prompter;
    const CSession& m_session;
    std::unique_ptr<CBillQuery> m_query;
    std::unique_ptr<BillReport> m_report;
    QLabel* m_company;
    QLabel* m_total;
    QDateEdit* m_start;
    QDateEdit* m_end;
    QTreeWidget* m_list;
    QPushButton* m_export;
    CServiceTask* m_task = nullptr;
};

} // namespace telvora
