#pragma once

#include "records/SendRecordListView.h"

namespace telvora {

// "定时记录": the sends scheduled at the service, which may still be cancelled.
class CIdleSendLogView final : public CSendRecordListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CIdleSendLogView)

public:
    explicit CIdleSendLogView(ViewServices dependencies, QWidget* parent = nullptr);
    ~CIdleSendLogView() override;

public slots:
    void onDelete() override;
    void onClear() override;
    // The calls run on a worker; cancelFinished follows when their outcome is shown.
    void onCancelSend();

signals:
    void cancelFinished();

protected:
    std::vector<SendRecord> records() override;
    SheetQuery exportQuery() const override;
    QStringList cells(const SendRecord& record, int position) override;
    void addMenuItems(QMenu* menu) override;
    void handOver(const CSMSDetailDlg& dialog) override;

private:
    enum { ColStatus = 1 };
    // Records whose status cell allows deleting.
    QVector<qint64> removable(const QVector<int>& rows) const;
    void onCancelCallsDone(const QVector<qint64>& ids, const QVector<bool>& cancelled);

    bool m_cancelling = false;
};

} // namespace telvora
