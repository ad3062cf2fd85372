#pragma once

#include "records/RecordPage.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace telvora {

// "记录查询": every number sent on a day or over a range of days, with totals.
class CSMSLogFindView final : public CRecordPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSLogFindView)

public:
    explicit CSMSLogFindView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CSMSLogFindView() override;

    ReportView* listView() const override { return m_list; }
    QRadioButton* dayRadio() const { return m_dayMode; }
    QRadioButton* rangeRadio() const { return m_rangeMode; }
    QDateEdit* dayEdit() const { return m_day; }
    QDateEdit* fromEdit() const { return m_from; }
    QDateEdit* toEdit() const { return m_to; }
    QPushButton* searchButton() const { return m_search; }
    QLabel* totalsLabel() const { return m_totals; }
    QLineEdit* phoneEdit() const { return m_phone; }
    QLineEdit* contentEdit() const { return m_content; }

public slots:
    void search();
    void onResend();
    void onExport();

private:
    enum Column { ColId, ColNumber, ColTime, ColPhone, ColStatus, ColSegments, ColMessage, ColDay };

    void onModeChanged();

    ReportView* m_list;
    QRadioButton* m_dayMode;
    QRadioButton* m_rangeMode;
    QDateEdit* m_day;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QPushButton* m_search;
    QLabel* m_totals;
    // Kept hidden, as on the old form; their texts still narrow the search.
    QLineEdit* m_phone;
    QLineEdit* m_content;
};

} // namespace telvora
