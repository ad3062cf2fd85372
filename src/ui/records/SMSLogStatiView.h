#pragma once

#include "records/RecordPage.h"

class QChart;
class QChartView;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace telvora {

// "记录统计": the sends summed per day of a month or per month of a year, as a list and
// as a bar chart beside it.
class CSMSLogStatiView final : public CRecordPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSMSLogStatiView)

public:
    explicit CSMSLogStatiView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CSMSLogStatiView() override;

    ReportView* listView() const override { return m_list; }
    QRadioButton* byDayRadio() const { return m_byDay; }
    QRadioButton* byMonthRadio() const { return m_byMonth; }
    QComboBox* dayYearBox() const { return m_dayYear; }
    QComboBox* monthBox() const { return m_month; }
    QComboBox* monthYearBox() const { return m_monthYear; }
    QChart* chart() const;

public slots:
    // "查看"
    void showStatistics();
    void onExport();

private:
    void onModeChanged();

    ReportView* m_list;
    QChartView* m_chartView;
    QRadioButton* m_byDay;
    QRadioButton* m_byMonth;
    QComboBox* m_dayYear;
    QComboBox* m_month;
    QComboBox* m_monthYear;
};

} // namespace telvora
