#pragma once

#include "records/SendRecordListView.h"

namespace telvora {

// "发送记录": the sends made at once.
class CSendLogView final : public CSendRecordListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSendLogView)

public:
    explicit CSendLogView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CSendLogView() override;

public slots:
    void onDelete() override;
    void onClear() override;
    // "提取已发送号码": the numbers the service took or may have taken, to a text file.
    void onExtractNumbers();

protected:
    std::vector<SendRecord> records() override;
    SheetQuery exportQuery() const override;
    QStringList cells(const SendRecord& record, int position) override;
    void addMenuItems(QMenu* menu) override;
    void handOver(const CSMSDetailDlg& dialog) override;
};

} // namespace telvora
